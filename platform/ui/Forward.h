// The window system's names without its workings: handles, message
// parameters, window procedures and the classes a header only points at.
// A control's header includes this; the file that calls the window system
// includes WindowSystem.h itself, so that the window system's state, its
// threads and its locks stay out of every unit that merely names a window.
#pragma once

#include "platform/ui/Messages.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace ui {

class Host;
class HeadlessHost;
class SdlHost;
class WindowSystem;
class WindowDC;
struct CreateParams;
struct Cursor;
struct Msg;
struct PaintStruct;
struct NativeWindowInfo;

using WndProc = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;
// A window procedure as installed; keeping the previous one of a subclassed
// window is keeping this reference.
using WndProcRef = std::shared_ptr<const WndProc>;
using TimerProc = std::function<void(HWND, UINT id)>;
using HookProc = std::function<LRESULT(int code, WPARAM, LPARAM)>;
using HHOOK = std::uint32_t;

}  // namespace ui
