// Where the grid lays its in-place editor: the editor's text must start
// where the cell painted it, so that nothing jumps when editing begins.
#include <gtest/gtest.h>

#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <climits>

#include "grids/cell.h"
#include "grids/section.h"
#include "view/cell_text.h"
#include "view/input_fixture.h"

namespace qv {
namespace {

class EditorPlacementTest : public test::ShownGrid {
protected:
    // The box of the dark pixels of Image inside R, columns from R.left()
    // up to MaxX only.
    static QRect Ink(const QImage& Image, const QRect& R, int MaxX = INT_MAX) {
        int l = INT_MAX, t = INT_MAX, r = INT_MIN, b = INT_MIN;
        for (int y = R.top(); y <= R.bottom(); ++y)
            for (int x = R.left(); x <= std::min(R.right(), MaxX); ++x)
                if (qGray(Image.pixel(x, y)) < 96) {
                    l = std::min(l, x);
                    t = std::min(t, y);
                    r = std::max(r, x);
                    b = std::max(b, y);
                }
        return l == INT_MAX ? QRect() : QRect(QPoint(l, t), QPoint(r, b));
    }

    // Paints the cell (away from the current cell's ring), opens its editor
    // with F2 and compares the text.
    void Compare(const std::string& Label) {
        Click(Client(), {3, 3});
        QApplication::processEvents();
        TRect px;
        ASSERT_TRUE(Client()->CellRectToPixels({1, 1, 2, 2}, TQvView::paWhole, px));
        const TRect in = FrameInset(px, Client()->Section()->AreaValue(1, 1));
        const QRect area(in.Left, in.Top, in.Right - in.Left, in.Bottom - in.Top);
        const QRect painted = Ink(Client()->grab().toImage(), area);
        ASSERT_FALSE(painted.isNull()) << Label;

        Click(Client(), {1, 1});
        Key(Qt::Key_F2);
        QApplication::processEvents();
        QWidget* e = Grid->Editor();
        ASSERT_TRUE(e && e->isVisible()) << Label;
        // The caret is no text: hidden where Qt lets it be, else (a line
        // edit, caret after the text) left out by the columns looked at.
        if (auto* t = qobject_cast<QTextEdit*>(e)) t->setCursorWidth(0);
        if (auto* t = qobject_cast<QPlainTextEdit*>(e)) t->setCursorWidth(0);
        e->repaint();
        const QRect edited = Ink(Client()->grab().toImage(), area, painted.right() - 2);
        ASSERT_FALSE(edited.isNull()) << Label;
        EXPECT_LE(std::abs(edited.left() - painted.left()), 1)
            << Label << ": painted at " << painted.left() << "," << painted.top() << ", edited at " << edited.left()
            << "," << edited.top();
        EXPECT_LE(std::abs(edited.top() - painted.top()), 1) << Label;
        EXPECT_LE(std::abs(edited.bottom() - painted.bottom()), 1) << Label;
        Key(Qt::Key_Escape);
        QApplication::processEvents();
    }
};

TEST_F(EditorPlacementTest, EditorTextLiesWhereTheCellPaintedIt) {
    const char* editors[] = {"edit", "memo", "rich edit"};
    for (int scale : {100, 150, 200}) {
        Grid->SetScale(scale);
        for (uint8_t frame : {frNoFrame, frFlatUp, frDeepDown, frBevelUp}) {
            for (int index = 0; index < 3; ++index) {
                TQvCell* c = Sheet->NeedCell(1, 1);
                c->SetAsString("Hdg");
                c->SetEditorIndex(index);
                c->SetFrame(frame);
                Compare(std::string(editors[index]) + " at " + std::to_string(scale) + "%, frame " +
                               std::to_string(frame));
            }
        }
    }
    // An indent moves the painted and the edited text alike.
    Grid->SetScale(100);
    for (int index = 0; index < 3; ++index) {
        TQvCell* c = Sheet->NeedCell(1, 1);
        c->SetEditorIndex(index);
        c->SetFrame(frNoFrame);
        c->SetIndent(5);
        Compare(std::string(editors[index]) + " indented by 5");
    }
}

}  // namespace
}  // namespace qv
