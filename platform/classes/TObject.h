// The root of every class that can be an event's sender.
#pragma once

#include <functional>

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;
};

// The plain event: called with the sender, returns nothing.
using TNotifyEvent = std::function<void(TObject* Sender)>;
