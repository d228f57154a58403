// TColorToolButton: a tool-bar button with a drop-down arrow that shows its
// current colour as a bar under its icon. The button part raises OnClick
// (apply the colour); the arrow part raises OnDropDown, where the owner
// usually pops up a colour box; no menu is involved.
#pragma once

#include <QToolButton>

#include "platform/color.h"
#include "platform/events.h"
#include "platform/object.h"

namespace qv {

class TColorToolButton : public QToolButton, public TObject {
    Q_OBJECT
public:
    explicit TColorToolButton(QWidget* Parent = nullptr);

    // The colour of the bar (clBlack by default; clNone draws no bar).
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);

    // The rectangle of the colour bar: from (3, height − 5) to
    // (19, height − 2), right and bottom edges excluded.
    QRect ColorBarRect() const;
    // The arrow part, in the button's coordinates.
    QRect ArrowRect() const;

    TNotifyEvent OnClick;
    TNotifyEvent OnDropDown;

signals:
    void DropDown();

protected:
    void paintEvent(QPaintEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;

private:
    TColor FColor = clBlack;
};

}  // namespace qv
