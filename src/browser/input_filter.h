#pragma once

class QEvent;

// Which input the browser lets through to its folder view.
namespace browser {

enum class InputKind {
    Other,        // always passes
    RightButton,  // right button down or up, or a context menu (also from the keyboard)
    Key,          // a key going down or up
};

struct InputContext {
    bool hasTree = false;            // the document has a locations tree
    bool hasLocation = false;        // and a location is selected in it
    bool administratorView = false;  // the frame shows the administrator face
    bool locationAllows = false;     // the location's m_bRightMouseButton
};

// True when the input is to be swallowed: with a tree but no location,
// every key and right click; with a location that does not allow them and
// outside the administrator view, the right button and keys with Ctrl down.
bool swallowInput(InputKind kind, bool ctrlDown, const InputContext& context);

// What an event is to the rule above, and whether Ctrl is down with it.
InputKind classifyInput(const QEvent& event, bool& ctrlDown);

} // namespace browser
