#pragma once
// What the frame asks of each of its pages, besides being a child dialog:
// apply its texts in the current language, and grow with the frame.

#include "ui/dialog.h"

class WizardPage {
public:
    virtual ~WizardPage() = default;

    virtual ui::Dialog& dialog() = 0;

    // Applies every text of the page in the current language, its status
    // line (control 1003) included.
    virtual void SetTexts() = 0;

    // Widens the page's controls by dx and moves those below its variable
    // part down by dy.
    virtual void Relayout(int dx, int dy) = 0;
};
