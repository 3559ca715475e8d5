#pragma once
// Every modal message box of the program goes through one service, so tests can answer and record
// them instead of blocking on a real box.

#include "core/Form.h"

#include <QString>

class QWidget;

namespace vx {

class DialogService {
public:
    virtual ~DialogService() = default;
    // A modal box centred on the screen: typed (warning, information, confirmation), the framework's
    // error box, or a plain box; returns the button pressed.
    virtual MsgAnswer show(MsgType type, const QString& text, MsgButtons buttons, QWidget* parent) = 0;
};

// The service in use: real message boxes unless a test has put its own in place.
DialogService& dialogs();
// Puts another service in place (nullptr restores the real one); the caller keeps ownership.
void setDialogs(DialogService* service);

} // namespace vx
