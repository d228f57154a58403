// TAlignEdit: a one-line edit whose text is aligned left, right or centred
// (vertically centred unless a cell editor places it as its cell does), the
// base of the numeric edit controls and of the text cell editor.
#pragma once

#include <QLineEdit>

#include "platform/events.h"

namespace qv {

enum TAlignment { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };

// A cell layout's horizontal alignment code (haLeft, haRight, haCenter share
// these values); unknown codes are left-justified.
inline TAlignment AlignmentOfCode(int HAlign) {
    return HAlign == taRightJustify || HAlign == taCenter ? static_cast<TAlignment>(HAlign) : taLeftJustify;
}

class TAlignEdit : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(qv::TAlignment Alignment READ Alignment WRITE SetAlignment)

public:
    explicit TAlignEdit(QWidget* Parent = nullptr);

    TAlignment Alignment() const { return FAlignment; }
    // Writing the current value does nothing.
    void SetAlignment(TAlignment Value);

    // Insets the text by H pixels left and right and V top and bottom
    // (negative values are taken as 0: a line edit cannot draw outside
    // itself). Room a descendant keeps for its own parts is added.
    void SetMargins(int H, int V);
    // Lays the text out as a cell paints it over the same rectangle: H
    // pixels in from the left and right edges, and at the top, bottom or
    // middle by VAlign (a cell layout's code: 0 top, 1 bottom, 2 centre).
    // The room Qt's line edit keeps around its text is taken back, so that
    // the text does not jump when the editor replaces the painted cell.
    void SetCellMargins(int H, int VAlign);

    // Fires on every change of the text, the control's own included.
    TNotifyEvent OnChange;
    // Fires for each typed character the control accepts, before it takes
    // it; a handler may replace the character or swallow it (Key = 0).
    TKeyPressEvent OnKeyPress;

signals:
    void Changed();

protected:
    // Runs on every change of the text; fires OnChange and Changed.
    virtual void Change();
    // Reports an exception a handler raises through the grid the control
    // lies in; none leaves the event loop.
    bool event(QEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    // Pixels at the right edge that belong to a descendant's own parts.
    virtual int ExtraRightMargin() const { return 0; }

private:
    TAlignment FAlignment = taLeftJustify;
    Qt::Alignment FVertical = Qt::AlignVCenter;
};

}  // namespace qv
