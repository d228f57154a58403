// The mouse gestures a grid's panes share: selecting and sizing.
#include <QTimerEvent>

#include "view/grid.h"

namespace qv {

Qt::CursorShape TQvGrid::GetMouseAction(TQvView*, TPoint) {
    FMouseHandler = mhNone;
    return Qt::ArrowCursor;
}
void TQvGrid::MouseEvent(TQvView*, int, Qt::KeyboardModifiers, bool, TPoint) {}
void TQvGrid::timerEvent(QTimerEvent* E) { QFrame::timerEvent(E); }
void TQvGrid::AutoScroll() {}
void TQvGrid::SelectHandler(TQvView*, TPoint, Qt::KeyboardModifiers, bool) {}
void TQvGrid::SizingHandler(TQvView*, TPoint, Qt::KeyboardModifiers, bool) {}
void TQvGrid::ShowSizing(TQvView*, int32_t, int32_t) {}

}  // namespace qv
