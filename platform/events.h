// Event types shared by every component. An event is a public member of one
// of these std::function types; an empty function means "not assigned", so
// callers test it before firing.
//
// Only the generic events live here. Events that carry model-specific
// arguments (cell coordinates, sizing data) are declared next to the model
// that fires them.
#pragma once

#include <functional>

namespace qv {

class TObject;

// "Something changed" or "something happened": the sender is the object
// that fires the event.
using TNotifyEvent = std::function<void(TObject* Sender)>;

// A character typed into a control, before the control takes it; a handler
// that sets Key to 0 swallows it.
using TKeyPressEvent = std::function<void(TObject* Sender, char32_t& Key)>;

}  // namespace qv
