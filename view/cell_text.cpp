#include "view/cell_text.h"

#include <QRect>
#include <QWidget>
#include <algorithm>

#include "grids/cell.h"
#include "grids/types.h"
#include "platform/font.h"

namespace qv {

TRect FrameInset(const TRect& Q, int32_t Frame) {
    switch (Frame) {
        case frFlatUp:
        case frFlatDown: return {Q.Left + 1, Q.Top + 1, Q.Right - 1, Q.Bottom - 1};
        case frDeepUp:
        case frDeepDown:
        case frBevelUp:
        case frBevelDown: return {Q.Left + 2, Q.Top + 2, Q.Right - 2, Q.Bottom - 2};
        default: return {Q.Left, Q.Top, Q.Right - 1, Q.Bottom - 1};
    }
}

void PlaceEditor(QWidget* Editor, const TRect& R) {
    const QRect q(R.Left, R.Top, std::max(0, R.Right - R.Left), std::max(0, R.Bottom - R.Top));
    if (Editor->metaObject()->indexOfMethod("SetBounds(QRect)") >= 0)
        QMetaObject::invokeMethod(Editor, "SetBounds", Qt::DirectConnection, Q_ARG(QRect, q));
    else
        Editor->setGeometry(q);
}

const TFont& CellFont(TQvCell* Cell) {
    static const TFont fallback;
    if (const TFont* own = Cell->OwnFont()) return *own;
    if (TQvPro* source = Cell->FindSource(piFont); source && source != Cell) return *source->Font();
    return fallback;
}

}  // namespace qv
