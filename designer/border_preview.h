// TBorderPreview: the white box of the Format Cells dialog's Border page
// that shows the chosen border lines around a sample cell and lets the user
// set a line by clicking near it.
//
// The box reads the lines from its owner (eight line records) and whether
// the inner lines may be shown; it never changes them itself but reports
// clicks through OnLineClick.
#pragma once

#include <QWidget>
#include <array>
#include <functional>

#include "grids/types.h"

namespace qv {

using TBorderLines = std::array<TQvLineInfo, 8>;

class TBorderPreview : public QWidget {
    Q_OBJECT
public:
    explicit TBorderPreview(const TBorderLines& Lines, QWidget* Parent = nullptr);

    // The inner lines are drawn and clickable only while enabled (their
    // buttons are: a range of more than one row or column).
    void SetInnerEnabled(bool Horizontal, bool Vertical);
    bool HInnerEnabled() const { return FHInner; }
    bool VInnerEnabled() const { return FVInner; }

    // The line a point of the box stands for, tested in this order: the
    // left, right, top and bottom margins (10 pixels), then, when enabled,
    // a band of 4 pixels either side of the vertical and horizontal middle;
    // -1 anywhere else.
    int LineAt(QPoint P) const;

    // A left-button press (Double false) or double click (Double true) on
    // line Index.
    std::function<void(int Index, bool Double)> OnLineClick;

protected:
    void paintEvent(QPaintEvent* E) override;
    void mousePressEvent(QMouseEvent* E) override;
    void mouseDoubleClickEvent(QMouseEvent* E) override;

private:
    void Click(QMouseEvent* E, bool Double);

    const TBorderLines& FLines;
    bool FHInner = false;
    bool FVInner = false;
};

}  // namespace qv
