#pragma once
// The "Information" box: one text and an OK button. ShowMsgTip shows it modally and
// forgets the answer; the contacts book uses the form directly as its delete question
// (OK = 1 means yes, the close picture = 2 means no).
#include "console/ui/SkinDialog.h"

#include <string>

class TMsgTipForm : public TSkinDialog {
    Q_OBJECT
public:
    TMsgTipForm(QWidget *owner, const std::string &text);
};

// Shows the text (UTF-8, unchanged) in a modal "Information" box.
void ShowMsgTip(const std::string &text);
