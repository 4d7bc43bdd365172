#pragma once
// The system message boxes of the login stage: the "Error" box (OK only) and the
// "Confirmation" question (OK and Cancel). They go through one replaceable function,
// so that a test can answer them without a person at the screen.
#include <QString>
#include <functional>

class QWidget;

enum class EN_ZOX_MSGBOX { Error, Question };

// Result codes as the windows return them: 1 OK, 2 Cancel.
inline constexpr int kMsgBoxOk = 1;
inline constexpr int kMsgBoxCancel = 2;

using SystemMessageBoxFn =
    std::function<int(QWidget *owner, EN_ZOX_MSGBOX kind, const QString &caption, const QString &text)>;

// Shows the box modally and returns kMsgBoxOk or kMsgBoxCancel.
int SystemMessageBox(QWidget *owner, EN_ZOX_MSGBOX kind, const QString &caption, const QString &text);

// Replaces the box (an empty function restores the real one); returns the previous one.
SystemMessageBoxFn SetSystemMessageBoxHook(SystemMessageBoxFn fn);
