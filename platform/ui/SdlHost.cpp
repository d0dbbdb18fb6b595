#include "platform/ui/SdlHost.h"

#include "platform/classes/Exception.h"
#include "platform/ui/KeyboardLayout.h"
#include "platform/ui/SdlKeys.h"
#include "platform/ui/StartupTrace.h"
#include "platform/ui/X11Errors.h"
#include "text/Cp1251.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <system_error>

namespace ui {

namespace {

SDL_SystemCursor sdl_cursor_of(StandardCursor c) {
    switch (c) {
    case StandardCursor::arrow: return SDL_SYSTEM_CURSOR_ARROW;
    case StandardCursor::ibeam: return SDL_SYSTEM_CURSOR_IBEAM;
    case StandardCursor::wait: return SDL_SYSTEM_CURSOR_WAIT;
    case StandardCursor::cross: return SDL_SYSTEM_CURSOR_CROSSHAIR;
    case StandardCursor::size_we: return SDL_SYSTEM_CURSOR_SIZEWE;
    case StandardCursor::size_ns: return SDL_SYSTEM_CURSOR_SIZENS;
    case StandardCursor::size_all: return SDL_SYSTEM_CURSOR_SIZEALL;
    case StandardCursor::no: return SDL_SYSTEM_CURSOR_NO;
    case StandardCursor::hand: return SDL_SYSTEM_CURSOR_HAND;
    case StandardCursor::size_nesw: return SDL_SYSTEM_CURSOR_SIZENESW;
    case StandardCursor::size_nwse: return SDL_SYSTEM_CURSOR_SIZENWSE;
    case StandardCursor::up_arrow: return SDL_SYSTEM_CURSOR_ARROW;
    case StandardCursor::drag:
    case StandardCursor::multi_drag: return SDL_SYSTEM_CURSOR_HAND;
    case StandardCursor::no_drop: return SDL_SYSTEM_CURSOR_NO;
    case StandardCursor::hsplit: return SDL_SYSTEM_CURSOR_SIZEWE;
    case StandardCursor::vsplit: return SDL_SYSTEM_CURSOR_SIZENS;
    case StandardCursor::help: return SDL_SYSTEM_CURSOR_ARROW;
    case StandardCursor::app_start: return SDL_SYSTEM_CURSOR_WAITARROW;
    case StandardCursor::none: return SDL_SYSTEM_CURSOR_ARROW;
    }
    return SDL_SYSTEM_CURSOR_ARROW;
}

TRect to_rect(const SDL_Rect& r) { return Bounds(r.x, r.y, r.w, r.h); }

// The X window behind an SDL window, or nothing on another video driver.
struct XWindowOf {
    ::Display* display = nullptr;
    ::Window window = 0;
};

XWindowOf x_window_of(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return {};
    return XWindowOf{info.info.x11.display, info.info.x11.window};
}

// SDL writes the legacy WM_NAME as the title's UTF-8 bytes typed STRING, which
// the ICCCM defines as Latin-1, so a window manager, a task bar or xdotool that
// reads WM_NAME saw the Cyrillic title garbled. It is written again as the
// ICCCM asks: STRING when Latin-1 holds the title, COMPOUND_TEXT otherwise.
// _NET_WM_NAME stays as SDL wrote it.
void set_legacy_x_title(SDL_Window* window, const std::string& utf8) {
    const XWindowOf x = x_window_of(window);
    if (!x.display) return;
    char* list[] = {const_cast<char*>(utf8.c_str())};
    XTextProperty property{};
    if (Xutf8TextListToTextProperty(x.display, list, 1, XStdICCTextStyle, &property) < 0) return;
    XSetWMName(x.display, x.window, &property);
    XFree(property.value);
}

// A window manager gives a dialog only a close button and a title, and no
// entry of its own in the task bar: the window's type says dialog, and the
// Motif hints take away minimise, maximise and resizing.
void mark_as_dialog(const XWindowOf& x) {
    const Atom dialog = XInternAtom(x.display, "_NET_WM_WINDOW_TYPE_DIALOG", False);
    XChangeProperty(x.display, x.window, XInternAtom(x.display, "_NET_WM_WINDOW_TYPE", False), XA_ATOM, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&dialog), 1);
    enum : unsigned long { functions_given = 1, decorations_given = 2 };
    enum : unsigned long { function_move = 4, function_close = 32 };
    enum : unsigned long { decoration_border = 2, decoration_title = 8, decoration_menu = 16 };
    const long hints[5] = {functions_given | decorations_given, function_move | function_close,
                           decoration_border | decoration_title | decoration_menu, 0, 0};
    const Atom motif = XInternAtom(x.display, "_MOTIF_WM_HINTS", False);
    XChangeProperty(x.display, x.window, motif, motif, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(hints), 5);
}

// A masked picture as an SDL surface with alpha (a cursor, a window icon);
// nullptr when SDL cannot make one. The caller frees it.
SDL_Surface* argb_surface(const gfx::MaskedImage& picture) {
    const TBitmap& image = *picture.image;
    const int w = image.Width(), h = image.Height();
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!s) return nullptr;
    const auto& mask = picture.mask;
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(s->pixels) + static_cast<std::ptrdiff_t>(y) * s->pitch);
        for (int x = 0; x < w; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * w + x;
            const bool opaque = i < mask.size() ? mask[i] != 0 : true;
            row[x] = opaque ? (image.pixel(x, y) | 0xFF000000u) : 0u;
        }
    }
    return s;
}

// Shows the picture as the window's icon; nothing changes without one.
void set_window_icon(SDL_Window* window, const gfx::MaskedImage* icon) {
    if (!icon || !icon->image || icon->image->Empty()) return;
    if (SDL_Surface* s = argb_surface(*icon)) {
        SDL_SetWindowIcon(window, s);
        SDL_FreeSurface(s);
    }
}

// The window that holds the server's keyboard focus now (a round trip).
::Window x_input_focus(::Display* display) {
    ::Window focused = None;
    int revert = 0;
    XGetInputFocus(display, &focused, &revert);
    return focused;
}

// Whether a window manager keeps the window maximised (_NET_WM_STATE); false
// off X or without the property.
bool x_maximized(SDL_Window* window) {
    const XWindowOf x = x_window_of(window);
    if (!x.display) return false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    bool vertical = false, horizontal = false;
    if (XGetWindowProperty(x.display, x.window, XInternAtom(x.display, "_NET_WM_STATE", False), 0, 64, False, XA_ATOM,
                           &type, &format, &count, &after, &data) == Success &&
        data) {
        const Atom vert = XInternAtom(x.display, "_NET_WM_STATE_MAXIMIZED_VERT", False);
        const Atom horz = XInternAtom(x.display, "_NET_WM_STATE_MAXIMIZED_HORZ", False);
        const auto* atoms = reinterpret_cast<const Atom*>(data);
        for (unsigned long i = 0; i < count; ++i) {
            vertical = vertical || atoms[i] == vert;
            horizontal = horizontal || atoms[i] == horz;
        }
        XFree(data);
    }
    return vertical && horizontal;
}

std::vector<XRectangle> x_rectangles(const gfx::Region& region) {
    std::vector<XRectangle> out;
    for (const TRect& r : region.rects())
        out.push_back(XRectangle{static_cast<short>(r.Left), static_cast<short>(r.Top),
                                 static_cast<unsigned short>(r.Width()), static_cast<unsigned short>(r.Height())});
    return out;
}

}  // namespace

SdlHost::SdlHost() {
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    // A directory has no business keeping the screen awake (SDL's default);
    // inhibiting the screen saver would also be a D-Bus call for nothing.
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    install_x11_error_filter();
    startup_step("SDL starting");
    // Video alone (it brings the events): no audio, joystick or haptic
    // subsystems to load and start before the first frame.
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
        throw Exception(AnsiString("Cannot open the display: ") + SDL_GetError());
    startup_step("SDL initialised");
    // Without a display SDL falls back to drawing nowhere; that is no way to
    // run a program for a person, unless someone asked for it by name.
    const AnsiString driver = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
    const bool asked = SDL_getenv("SDL_VIDEODRIVER") != nullptr;
    if (SDL_GetNumVideoDisplays() < 1 || (!asked && (driver == "offscreen" || driver == "dummy" || driver == "evdev"))) {
        SDL_Quit();
        throw Exception("Cannot open the display: no X11 or Wayland display is available (is DISPLAY set?)");
    }
    m_wake_event = SDL_RegisterEvents(1);
    SDL_StartTextInput();
    m_ws = std::make_unique<WindowSystem>(*this);
    startup_step("host ready");
}

SdlHost::~SdlHost() {
    finish_surface();
    m_ws.reset();
    for (auto& [shape, cursor] : m_system_cursors) SDL_FreeCursor(cursor);
    if (m_custom_cursor) SDL_FreeCursor(m_custom_cursor);
    for (auto& [h, native] : m_natives) SDL_DestroyWindow(native.window);
    SDL_Quit();
}

// ---- windows ---------------------------------------------------------------------

void SdlHost::create_native(HWND h, const NativeWindowInfo& info) {
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if (info.popup) {
        flags |= SDL_WINDOW_BORDERLESS | SDL_WINDOW_SKIP_TASKBAR;
        if (info.topmost) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
        if (info.no_activate) flags |= info.tool ? SDL_WINDOW_TOOLTIP : SDL_WINDOW_POPUP_MENU;
        // A tool window that takes the keyboard (a floating toolbar) is a
        // utility window to the window manager.
        else if (info.tool) flags |= SDL_WINDOW_UTILITY;
    } else if (info.resizable) {
        flags |= SDL_WINDOW_RESIZABLE;
    }
    // Made at its final size: no window of the normal size first, and no
    // second full paint after a maximisation.
    if (info.maximized) flags |= SDL_WINDOW_MAXIMIZED;
    const int w = std::max(1, info.bounds.Width());
    const int hgt = std::max(1, info.bounds.Height());
    const std::string title = text::cp1251_to_utf8(info.title);
    SDL_Window* window = SDL_CreateWindow(title.c_str(), info.bounds.Left, info.bounds.Top, w, hgt, flags);
    if (!window) throw Exception(AnsiString("Cannot create a window: ") + SDL_GetError());
    set_legacy_x_title(window, title);
    m_natives[h] = Native{window, info};
    startup_step("window created");
    if (!info.popup) prepare_surface(window);
    m_by_sdl_id[SDL_GetWindowID(window)] = h;
    if (info.transparent) {
        // An overlay: its input shape is empty, so the pointer reaches what lies below.
        if (const XWindowOf x = x_window_of(window); x.display) {
            XShapeCombineRectangles(x.display, x.window, ShapeInput, 0, 0, nullptr, 0, ShapeSet, Unsorted);
            XFlush(x.display);
        }
    }
}

void SdlHost::minimize_native(HWND h) {
    auto it = m_natives.find(h);
    if (it != m_natives.end() && !(SDL_GetWindowFlags(it->second.window) & SDL_WINDOW_MINIMIZED))
        SDL_MinimizeWindow(it->second.window);
}

void SdlHost::restore_native(HWND h) {
    auto it = m_natives.find(h);
    if (it != m_natives.end() && (SDL_GetWindowFlags(it->second.window) & SDL_WINDOW_MINIMIZED))
        SDL_RestoreWindow(it->second.window);
}

void SdlHost::set_native_shape(HWND h, const gfx::Region* shape) {
    auto it = m_natives.find(h);
    if (it == m_natives.end()) return;
    const XWindowOf x = x_window_of(it->second.window);
    if (!x.display) return;  // not on X: the window stays rectangular
    if (shape) {
        std::vector<XRectangle> rects = x_rectangles(*shape);
        // The region's rectangles are not banded the way X wants for YXBanded
        // (the server refuses them and Xlib ends the program): let it sort them.
        XShapeCombineRectangles(x.display, x.window, ShapeBounding, 0, 0, rects.data(), static_cast<int>(rects.size()),
                                ShapeSet, Unsorted);
    } else {
        XShapeCombineMask(x.display, x.window, ShapeBounding, 0, 0, None, ShapeSet);
    }
    XFlush(x.display);
}

void SdlHost::destroy_native(HWND h) {
    auto it = m_natives.find(h);
    if (it == m_natives.end()) return;
    finish_surface();
    m_by_sdl_id.erase(SDL_GetWindowID(it->second.window));
    SDL_DestroyWindow(it->second.window);
    m_natives.erase(it);
}

void SdlHost::show_native(HWND h, bool visible, bool activate) {
    auto it = m_natives.find(h);
    if (it == m_natives.end()) return;
    if (!visible) {
        SDL_HideWindow(it->second.window);
        return;
    }
    if (!it->second.mapped) {
        it->second.mapped = true;
        tell_window_manager(it->second);
    }
    SDL_SetHint(SDL_HINT_WINDOW_NO_ACTIVATION_WHEN_SHOWN, activate ? "0" : "1");
    // That hint means nothing to SDL on X: a window shown without activation
    // (a floating toolbar) must neither be focused by a window manager nor
    // keep the focus SDL gives every window it maps where none runs, or the
    // form's shortcuts would stop until the user clicked the form again.
    const XWindowOf x = activate || it->second.info.no_activate ? XWindowOf{} : x_window_of(it->second.window);
    const ::Window focused_before = x.display ? x_input_focus(x.display) : None;
    if (x.display) {
        const long never = 0;  // user time 0: do not focus at map
        XChangeProperty(x.display, x.window, XInternAtom(x.display, "_NET_WM_USER_TIME", False), XA_CARDINAL, 32,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(&never), 1);
    }
    SDL_ShowWindow(it->second.window);
    if (x.display && focused_before != None && focused_before != PointerRoot && focused_before != x.window &&
        x_input_focus(x.display) == x.window)
        XSetInputFocus(x.display, focused_before, RevertToParent, CurrentTime);
    // Mapping makes the server expose the whole window, but the first paint
    // after showing presents the whole window anyway: presenting it again
    // for that exposure would put every pixel on the screen twice.
    it->second.skip_expose = true;
    startup_step("window mapped");
    // A form that appears under the pointer hears of the pointer before its
    // first paint, so the first frame already shows what the pointer is over
    // instead of being followed by an update for it.
    if (!it->second.info.popup) {
        int x = 0, y = 0, wx = 0, wy = 0, w = 0, hg = 0;
        SDL_GetGlobalMouseState(&x, &y);
        SDL_GetWindowPosition(it->second.window, &wx, &wy);
        SDL_GetWindowSize(it->second.window, &w, &hg);
        if (x >= wx && y >= wy && x < wx + w && y < wy + hg) m_ws->queue_mouse_move(TPoint{x, y});
    }
    SDL_SetHint(SDL_HINT_WINDOW_NO_ACTIVATION_WHEN_SHOWN, "0");
    if (activate) SDL_RaiseWindow(it->second.window);
    // No present here: the window's first paint follows and presents, and a
    // full present of a large window costs more than everything else at start.
}

// What a window manager reads when the window is first mapped, told then: the
// About box and the other forms made at start-up but shown later cost their
// start nothing. (The icon waits for the window's first present.)
void SdlHost::tell_window_manager(const Native& native) const {
    // An owned window stays above its owner: the window manager keeps it there
    // (a floating toolbar would otherwise go behind the main window at the
    // first click on it) and minimises it with it.
    if (auto owner = m_natives.find(native.info.owner); owner != m_natives.end())
        SDL_SetWindowModalFor(native.window, owner->second.window);
    if (const XWindowOf x = x_window_of(native.window); x.display && native.info.dialog) mark_as_dialog(x);
}

void SdlHost::move_native(HWND h, const TRect& bounds) {
    auto it = m_natives.find(h);
    if (it == m_natives.end()) return;
    SDL_SetWindowPosition(it->second.window, bounds.Left, bounds.Top);
    SDL_SetWindowSize(it->second.window, std::max(1, bounds.Width()), std::max(1, bounds.Height()));
}

void SdlHost::set_native_title(HWND h, const AnsiString& title) {
    auto it = m_natives.find(h);
    if (it == m_natives.end()) return;
    const std::string utf8 = text::cp1251_to_utf8(title);
    SDL_SetWindowTitle(it->second.window, utf8.c_str());
    set_legacy_x_title(it->second.window, utf8);
}

void SdlHost::set_native_icon(HWND h, const std::shared_ptr<const gfx::MaskedImage>& icon) {
    auto it = m_natives.find(h);
    if (it == m_natives.end()) return;
    it->second.info.icon = icon;
    if (it->second.presented) set_window_icon(it->second.window, icon.get());
}

void SdlHost::maximize_native(HWND h) {
    auto it = m_natives.find(h);
    if (it == m_natives.end()) return;
    // Without a window manager nothing would maximise the window, so it is
    // first given the work area itself; a window manager then has the last word.
    int x = 0, y = 0;
    SDL_GetWindowPosition(it->second.window, &x, &y);
    const TRect area = work_area_at(TPoint{x, y});
    move_native(h, area);
    SDL_MaximizeWindow(it->second.window);
}

bool SdlHost::x_focus_on_another_window(HWND h) const {
    const auto it = m_natives.find(h);
    if (it == m_natives.end()) return false;
    const XWindowOf x = x_window_of(it->second.window);
    if (!x.display) return false;
    const ::Window focused = x_input_focus(x.display);
    if (focused == x.window) return false;
    return std::any_of(m_natives.begin(), m_natives.end(),
                       [&](const auto& other) { return x_window_of(other.second.window).window == focused; });
}

void SdlHost::raise_native(HWND h, bool focus) {
    auto it = m_natives.find(h);
    // Raising also focuses on most systems; popups stay on top without it.
    if (it == m_natives.end() || it->second.info.no_activate || !(SDL_GetWindowFlags(it->second.window) & SDL_WINDOW_SHOWN))
        return;
    if (!focus) {
        // Only the stacking: SDL's raise also asks a window manager to activate.
        if (const XWindowOf x = x_window_of(it->second.window); x.display) {
            XRaiseWindow(x.display, x.window);
            XFlush(x.display);
        }
        return;
    }
    SDL_RaiseWindow(it->second.window);
    // Raising asks a window manager for the focus; without one nobody gives
    // it, and keys typed after a dialog closed would reach no window.
    if (SDL_GetKeyboardFocus() != it->second.window) SDL_SetWindowInputFocus(it->second.window);
}

void SdlHost::focus_native(HWND h) {
    auto it = m_natives.find(h);
    if (it == m_natives.end() || !(SDL_GetWindowFlags(it->second.window) & SDL_WINDOW_SHOWN)) return;
    // SDL maps every window with the focus when no window manager runs, and
    // its own idea of the focus trails the server's events: ask the server.
    const XWindowOf x = x_window_of(it->second.window);
    if (x.display) {
        if (x_input_focus(x.display) == x.window) return;
    } else if (SDL_GetKeyboardFocus() == it->second.window) {
        return;
    }
    SDL_SetWindowInputFocus(it->second.window);
}

void SdlHost::present(HWND h, const TBitmap& pixels, const std::vector<TRect>& changed) {
    auto it = m_natives.find(h);
    if (it == m_natives.end()) return;
    finish_surface();
    SDL_Surface* surface = SDL_GetWindowSurface(it->second.window);
    if (!surface) return;
    const TRect limit{0, 0, std::min(surface->w, pixels.Width()), std::min(surface->h, pixels.Height())};
    std::vector<TRect> parts;
    TRect around;
    long long area = 0;
    for (const TRect& c : changed) {
        const TRect r = gfx::intersect(c, limit);
        if (r.IsEmpty()) continue;
        parts.push_back(r);
        around = around.IsEmpty() ? r : gfx::bounding(around, r);
        area += static_cast<long long>(r.Width()) * r.Height();
    }
    if (parts.empty()) return;
    // Pieces that nearly fill their bounding box (a whole window painted
    // control by control) go to the server as one image: one update of the
    // screen instead of several, and fewer requests. The back buffer holds
    // the whole window, so the few pixels in between are current too.
    if (parts.size() > 1 && area * 4 >= static_cast<long long>(around.Width()) * around.Height() * 3) parts = {around};
    if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
    const bool same_layout = surface->format->format == SDL_PIXELFORMAT_RGB888 ||
                             surface->format->format == SDL_PIXELFORMAT_ARGB8888;
    std::vector<SDL_Rect> rects;
    for (const TRect& r : parts) {
        auto* dst = static_cast<std::uint8_t*>(surface->pixels) + static_cast<std::ptrdiff_t>(r.Top) * surface->pitch +
                    static_cast<std::ptrdiff_t>(r.Left) * surface->format->BytesPerPixel;
        const gfx::Pixel* src = pixels.ScanLine(r.Top) + r.Left;
        if (same_layout) {
            for (int y = 0; y < r.Height(); ++y)
                std::memcpy(dst + static_cast<std::ptrdiff_t>(y) * surface->pitch, src + static_cast<std::ptrdiff_t>(y) * pixels.Width(),
                            static_cast<std::size_t>(r.Width()) * sizeof(gfx::Pixel));
        } else {
            SDL_ConvertPixels(r.Width(), r.Height(), SDL_PIXELFORMAT_ARGB8888, src,
                              pixels.Width() * static_cast<int>(sizeof(gfx::Pixel)), surface->format->format, dst,
                              surface->pitch);
        }
        rects.push_back(SDL_Rect{r.Left, r.Top, r.Width(), r.Height()});
    }
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    startup_step("first paint done");
    SDL_UpdateWindowSurfaceRects(it->second.window, rects.data(), static_cast<int>(rects.size()));
    startup_step("first present");
    // The icon is for the task bar and the title bar, not for the first frame:
    // it goes up once the window's pixels are on the screen.
    if (!it->second.presented) {
        it->second.presented = true;
        set_window_icon(it->second.window, it->second.info.icon.get());
    }
}

// A window's surface is memory shared with the X server that the first
// present fills: some two thousand page faults for a full-screen window, 5 to
// 7 ms of the start when the GUI thread takes them one by one. The surface is
// made with the window instead, and its pages are touched by a thread of
// their own while the GUI thread builds and paints the window's contents.
// Nothing else uses the surface before the thread is joined: SDL frees or
// replaces it only in SDL_GetWindowSurface and SDL_DestroyWindow, which come
// after finish_surface(), and its memory is not read before the first
// present (it is zero already, as the thread leaves it).
void SdlHost::prepare_surface(SDL_Window* window) {
    finish_surface();
    SDL_Surface* surface = SDL_GetWindowSurface(window);
    if (!surface) return;
    auto* bytes = static_cast<volatile std::uint8_t*>(surface->pixels);
    const std::size_t size = static_cast<std::size_t>(surface->pitch) * static_cast<std::size_t>(surface->h);
    const long page = ::sysconf(_SC_PAGESIZE);
    try {
        m_surface_pages = std::thread([bytes, size, step = static_cast<std::size_t>(page > 0 ? page : 4096)] {
            for (std::size_t i = 0; i < size; i += step) bytes[i] = 0;
        });
    } catch (const std::system_error&) {
        // No thread to spare: the first present takes the faults itself.
    }
}

void SdlHost::finish_surface() {
    if (m_surface_pages.joinable()) m_surface_pages.join();
}

void SdlHost::present_all(HWND h) {
    if (const TBitmap* pixels = m_ws->window_pixels(h))
        present(h, *pixels, {TRect{0, 0, pixels->Width(), pixels->Height()}});
}

// ---- input ------------------------------------------------------------------------

void SdlHost::wait_for_input(std::optional<std::int64_t> deadline_ms) {
    SDL_Event e;
    int got = 0;
    if (deadline_ms) {
        const std::int64_t wait = std::max<std::int64_t>(0, *deadline_ms - m_clock.now_ms());
        got = SDL_WaitEventTimeout(&e, static_cast<int>(std::min<std::int64_t>(wait, 1 << 30)));
    } else {
        got = SDL_WaitEvent(&e);
    }
    if (!got) return;
    handle_event(e);
    while (SDL_PollEvent(&e)) handle_event(e);
    if (m_focus_lost_pending) {
        m_focus_lost_pending = false;
        if (!SDL_GetKeyboardFocus()) m_ws->host_activate_app(false);
    }
}

void SdlHost::wake() {
    SDL_Event e{};
    e.type = m_wake_event;
    SDL_PushEvent(&e);
}

HWND SdlHost::hwnd_of(std::uint32_t id) const {
    auto it = m_by_sdl_id.find(id);
    return it == m_by_sdl_id.end() ? kNoWindow : it->second;
}

TPoint SdlHost::to_screen(std::uint32_t id, int x, int y) const {
    SDL_Window* window = SDL_GetWindowFromID(id);
    if (!window) {
        // A captured pointer outside every window of ours: ask where it is.
        int gx = 0, gy = 0;
        SDL_GetGlobalMouseState(&gx, &gy);
        return TPoint{gx, gy};
    }
    int wx = 0, wy = 0;
    SDL_GetWindowPosition(window, &wx, &wy);
    return TPoint{wx + x, wy + y};
}

void SdlHost::handle_event(const SDL_Event& e) {
    switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        if (const int vk = vk_from_scancode(e.key.keysym.scancode)) m_ws->queue_key(vk, e.type == SDL_KEYDOWN);
        break;
    }
    case SDL_TEXTINPUT: {
        // Ctrl with a letter types its control character (made from the key
        // code, whatever the layout), never the layout's letter; Ctrl+Alt is
        // AltGr and types what the layout says.
        const bool ctrl_only = m_ws->get_async_key_state(VK_CONTROL) < 0 && m_ws->get_async_key_state(VK_MENU) >= 0;
        if (ctrl_only) break;
        for (char c : text::utf8_to_cp1251(e.text.text)) m_ws->queue_char(static_cast<unsigned char>(c));
        break;
    }
    case SDL_MOUSEMOTION:
        m_ws->queue_mouse_move(to_screen(e.motion.windowID, e.motion.x, e.motion.y));
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        MouseButton b = MouseButton::left;
        if (e.button.button == SDL_BUTTON_RIGHT)
            b = MouseButton::right;
        else if (e.button.button == SDL_BUTTON_MIDDLE)
            b = MouseButton::middle;
        else if (e.button.button != SDL_BUTTON_LEFT)
            break;
        m_ws->queue_mouse_button(b, e.type == SDL_MOUSEBUTTONDOWN, to_screen(e.button.windowID, e.button.x, e.button.y));
        break;
    }
    case SDL_MOUSEWHEEL: {
        int x = 0, y = 0;
        SDL_GetGlobalMouseState(&x, &y);
        const int notches = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
        if (notches != 0) m_ws->queue_mouse_wheel(notches * WHEEL_DELTA, TPoint{x, y});
        break;
    }
    case SDL_WINDOWEVENT: {
        const HWND h = hwnd_of(e.window.windowID);
        if (h == kNoWindow) break;
        SDL_Window* window = m_natives[h].window;
        switch (e.window.event) {
        case SDL_WINDOWEVENT_MOVED:
        case SDL_WINDOWEVENT_SIZE_CHANGED: {
            int x = 0, y = 0, w = 0, hg = 0;
            SDL_GetWindowPosition(window, &x, &y);
            SDL_GetWindowSize(window, &w, &hg);
            m_ws->host_window_moved(h, Bounds(x, y, w, hg));
            break;
        }
        case SDL_WINDOWEVENT_EXPOSED:
            if (m_natives[h].skip_expose)
                m_natives[h].skip_expose = false;
            else
                present_all(h);
            break;
        // The user (through the window manager) changed the window's state;
        // changes we asked for ourselves are already known and pass.
        case SDL_WINDOWEVENT_MINIMIZED:
            if (!m_ws->is_iconic(h)) m_ws->host_system_command(h, SC_MINIMIZE);
            break;
        case SDL_WINDOWEVENT_MAXIMIZED:
            if (!m_ws->is_zoomed(h) || m_ws->is_iconic(h)) m_ws->host_system_command(h, SC_MAXIMIZE);
            break;
        case SDL_WINDOWEVENT_RESTORED:
            // SDL also reports "restored" when a window manager maps a
            // maximised window again after minimising it; the window's own
            // state on the server says whether it really left the maximum.
            if (m_ws->is_iconic(h) || (m_ws->is_zoomed(h) && !x_maximized(window)))
                m_ws->host_system_command(h, SC_RESTORE);
            else if (m_ws->is_zoomed(h))
                // SDL now takes the window for restored and would miss the
                // user's real restore: it is told the state again.
                SDL_MaximizeWindow(window);
            break;
        case SDL_WINDOWEVENT_CLOSE: m_ws->host_close_request(h); break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            m_focus_lost_pending = false;
            m_ws->host_activate_app(true);
            // The focus SDL gives a window it maps without a window manager,
            // and which was handed back at once (a floating toolbar shown
            // without activation), is reported late: only the window the
            // server has focused now is activated.
            if (m_ws->get_active_window() != h && !x_focus_on_another_window(h)) m_ws->set_active_window(h);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST: m_focus_lost_pending = true; break;
        case SDL_WINDOWEVENT_LEAVE: {
            int x = 0, y = 0;
            SDL_GetGlobalMouseState(&x, &y);
            m_ws->queue_mouse_move(TPoint{x, y});
            break;
        }
        default: break;
        }
        break;
    }
    default: break;
    }
}

// ---- screen, cursor, clipboard ------------------------------------------------------

TRect SdlHost::screen_rect() const {
    SDL_Rect r{0, 0, 0, 0};
    SDL_GetDisplayBounds(0, &r);
    return to_rect(r);
}

TRect SdlHost::work_area_at(TPoint p) const {
    const int n = SDL_GetNumVideoDisplays();
    for (int i = 0; i < n; ++i) {
        SDL_Rect bounds;
        if (SDL_GetDisplayBounds(i, &bounds) == 0 && to_rect(bounds).Contains(p)) {
            SDL_Rect usable;
            return SDL_GetDisplayUsableBounds(i, &usable) == 0 ? to_rect(usable) : to_rect(bounds);
        }
    }
    SDL_Rect usable{0, 0, 0, 0};
    SDL_GetDisplayUsableBounds(0, &usable);
    return to_rect(usable);
}

void SdlHost::set_cursor(const Cursor& cursor) {
    SDL_ShowCursor(cursor.shape == StandardCursor::none && !cursor.image ? SDL_DISABLE : SDL_ENABLE);
    if (cursor.image && cursor.image->image && !cursor.image->image->Empty()) {
        SDL_Surface* s = argb_surface(*cursor.image);
        if (!s) return;
        SDL_Cursor* c = SDL_CreateColorCursor(s, cursor.image->hotspot.X, cursor.image->hotspot.Y);
        SDL_FreeSurface(s);
        if (!c) return;
        SDL_SetCursor(c);
        if (m_custom_cursor) SDL_FreeCursor(m_custom_cursor);
        m_custom_cursor = c;
        return;
    }
    const int key = static_cast<int>(cursor.shape);
    auto it = m_system_cursors.find(key);
    if (it == m_system_cursors.end()) {
        SDL_Cursor* c = SDL_CreateSystemCursor(sdl_cursor_of(cursor.shape));
        if (!c) return;
        it = m_system_cursors.emplace(key, c).first;
    }
    SDL_SetCursor(it->second);
}

std::int16_t SdlHost::key_for_char(unsigned char cp1251) const {
    // Asked of the layout in force now: the user may switch layouts at any time.
    KeyboardLayout layout;
    for (int sc = 0; sc < SDL_NUM_SCANCODES; ++sc) {
        const int vk = vk_from_scancode(sc);
        if (!vk) continue;
        const SDL_Keycode key = SDL_GetKeyFromScancode(static_cast<SDL_Scancode>(sc));
        if (key < 0x20 || (key & SDLK_SCANCODE_MASK) || key > 0x10FFFF) continue;
        char utf8[8] = {};
        const char32_t cp = static_cast<char32_t>(key);
        if (cp < 0x80) {
            utf8[0] = static_cast<char>(cp);
        } else if (cp < 0x800) {
            utf8[0] = static_cast<char>(0xC0 | (cp >> 6));
            utf8[1] = static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            continue;  // nothing CP1251 has lies above U+07FF that a layout's letter key types
        }
        const AnsiString ansi = text::utf8_to_cp1251(utf8);
        if (ansi.size() == 1 && (ansi[0] != '?' || cp == '?')) layout.add(static_cast<unsigned char>(ansi[0]), vk);
    }
    return layout.key_for_char(cp1251);
}

void SdlHost::set_cursor_pos(TPoint p) { SDL_WarpMouseGlobal(p.X, p.Y); }

void SdlHost::capture_mouse(bool on) { SDL_CaptureMouse(on ? SDL_TRUE : SDL_FALSE); }

bool SdlHost::set_clipboard_text(const std::string& utf8) { return SDL_SetClipboardText(utf8.c_str()) == 0; }

std::string SdlHost::clipboard_text() {
    char* raw = SDL_GetClipboardText();  // never null; "" when there is no text
    if (!raw) return {};
    std::string text(raw);
    SDL_free(raw);
    return text;
}

}  // namespace ui
