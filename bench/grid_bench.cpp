// Speed of the grid control against the peer a C++ user would pick for a
// large table: Qt's QTableView over a QAbstractTableModel.
//
// Both show a 1,280 x 800 pixel cell area over 1,000,000 rows x 100 columns
// of 60 x 16 pixels, with text in every cell the benchmarks scroll over and a
// fill and a border on 10 % of them; 1,000 rows spread over the million have
// their own heights, so position lookups cannot take the all-default path.
// Measured, each beside the peer doing the same:
//   - a full repaint of the cell area (QWidget::repaint, synchronous),
//   - scrolling one row and one page through the vertical scroll bar, up to
//     the repainted strip being on screen,
//   - HitTest / indexAt of random points with the view scrolled to random
//     places in the million rows,
//   - changing the height of one row deep in the million, before repainting.
// A summary with the ratios and the targets is printed after the table.
#include <benchmark/benchmark.h>

#include <QAbstractTableModel>
#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>

#include "grids/cell.h"
#include "grids/sheet.h"
#include "view/grid.h"

using namespace qv;

namespace {

constexpr int32_t Rows = 1'000'000;
constexpr int32_t Cols = 100;
constexpr int PaneWidth = 1280;
constexpr int PaneHeight = 800;
constexpr int ColWidth = 60;
constexpr int RowHeight = 16;
// Text everywhere the benchmarks look: the first pages of rows and every
// column that fits the pane, with margin.
constexpr int32_t FilledRows = 4 * PaneHeight / RowHeight;
constexpr int32_t FilledCols = PaneWidth / ColWidth + 4;
// Rows with their own height, the same for both.
constexpr int SizedRows = 1000;

bool HasText(int32_t Col, int32_t Row) { return Col < FilledCols && Row < FilledRows; }
bool IsDecorated(int32_t Col, int32_t Row) { return HasText(Col, Row) && (Col * 7 + Row * 13) % 10 == 0; }
std::string CellText(int32_t Col, int32_t Row) { return "Item " + std::to_string(Row) + "." + std::to_string(Col); }
const QColor FillColour(255, 255, 200);
const QColor LineColour(128, 128, 128);
int32_t SizedRow(int K) { return static_cast<int32_t>((int64_t(K) * 999'983 + 17) % Rows); }
int SizedHeight(int K) { return 18 + K % 5; }

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Mean seconds per operation of every benchmark, for the summary.
std::map<std::string, double> Results;

// --- our grid ----------------------------------------------------------------

struct TOurs {
    TQvSheet Sheet;
    TQvGrid Grid;
    TQvView* Client = nullptr;
    QScrollBar* VertBar = nullptr;

    TOurs() {
        Sheet.BeginUpdate();
        Sheet.SetColCount(Cols);
        Sheet.SetRowCount(Rows);
        Sheet.SetColDefWidth(ColWidth);
        Sheet.SetRowDefHeight(RowHeight);
        Sheet.SetRowMaxHeight(40);
        for (int32_t y = 0; y < FilledRows; ++y)
            for (int32_t x = 0; x < FilledCols; ++x) {
                Sheet.SetCellValue(x, y, TVariant(CellText(x, y)));
                if (!IsDecorated(x, y)) continue;
                TQvCell* c = Sheet.FindCell(x, y);
                c->SetColor(RGB(FillColour.red(), FillColour.green(), FillColour.blue()));
                const TQvLineInfo line{lsSingle, RGB(LineColour.red(), LineColour.green(), LineColour.blue())};
                c->SetBorder(liRight, line);
                c->SetBorder(liBottom, line);
            }
        for (int k = 0; k < SizedRows; ++k) Sheet.SetSize(SizedRow(k), axRows, SizedHeight(k));
        Sheet.EndUpdate();
        Grid.SetSheet(&Sheet);
        Client = Grid.Views(skClient);
        for (QScrollBar* bar : Client->findChildren<QScrollBar*>())
            if (bar->orientation() == Qt::Vertical) VertBar = bar;
        // Grow the grid until the client pane's cell area is exactly the size
        // measured (titles, frame and scroll bars come on top).
        Grid.resize(PaneWidth + 200, PaneHeight + 200);
        Grid.show();
        for (int i = 0; i < 3; ++i) {
            const TSize s = Client->ClientSize();
            Grid.resize(Grid.width() + PaneWidth - s.Width, Grid.height() + PaneHeight - s.Height);
            QApplication::processEvents();
        }
    }
};

// --- the peer ----------------------------------------------------------------

class TPeerModel : public QAbstractTableModel {
public:
    int rowCount(const QModelIndex& Parent) const override { return Parent.isValid() ? 0 : Rows; }
    int columnCount(const QModelIndex& Parent) const override { return Parent.isValid() ? 0 : Cols; }
    QVariant data(const QModelIndex& I, int Role) const override {
        if (Role == Qt::DisplayRole && HasText(I.column(), I.row()))
            return QString::fromStdString(CellText(I.column(), I.row()));
        if (Role == Qt::BackgroundRole && IsDecorated(I.column(), I.row())) return QBrush(FillColour);
        return {};
    }
};

// Draws the right and bottom border of the decorated cells, as the grid does.
class TPeerDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* P, const QStyleOptionViewItem& Option, const QModelIndex& I) const override {
        QStyledItemDelegate::paint(P, Option, I);
        if (!IsDecorated(I.column(), I.row())) return;
        const QRect r = Option.rect;
        P->setPen(LineColour);
        P->drawLine(r.right(), r.top(), r.right(), r.bottom());
        P->drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    }
};

struct TPeer {
    TPeerModel Model;
    QTableView View;
    TPeerDelegate Delegate;

    TPeer() {
        View.setModel(&Model);
        View.setItemDelegate(&Delegate);
        View.horizontalHeader()->setMinimumSectionSize(1);
        View.verticalHeader()->setMinimumSectionSize(1);
        View.horizontalHeader()->setDefaultSectionSize(ColWidth);
        View.verticalHeader()->setDefaultSectionSize(RowHeight);
        View.verticalHeader()->setSectionResizeMode(QHeaderView::Interactive);
        for (int k = 0; k < SizedRows; ++k) View.setRowHeight(SizedRow(k), SizedHeight(k));
        View.resize(PaneWidth + 200, PaneHeight + 200);
        View.show();
        for (int i = 0; i < 3; ++i) {
            const QSize s = View.viewport()->size();
            View.resize(View.width() + PaneWidth - s.width(), View.height() + PaneHeight - s.height());
            QApplication::processEvents();
        }
    }
};

TOurs& Ours() {
    static TOurs* ours = new TOurs;  // lives until exit, as a form's grid would
    return *ours;
}
TPeer& Peer() {
    static TPeer* peer = new TPeer;
    return *peer;
}

// Runs Op once per iteration, timing only Op; Settle runs untimed afterwards
// (posted repaints, going back to the start position).
template <typename FOp, typename FSettle>
void Timed(benchmark::State& State, const std::string& Name, FOp&& Op, FSettle&& Settle) {
    double total = 0;
    for (auto _ : State) {
        const double t0 = Now();
        Op();
        const double t1 = Now();
        State.SetIterationTime(t1 - t0);
        total += t1 - t0;
        Settle();
    }
    Results[Name] = total / double(State.iterations());
}

// Back to the first row. The grid's pane follows its bar's actions, not
// setValue, so it is scrolled directly.
void Home(QScrollBar* Bar) {
    if (Bar == Ours().VertBar) Ours().Client->ScrollTo({0, 0});
    else Bar->setValue(0);
    QApplication::processEvents();
}

void BM_Ours_FullRepaint(benchmark::State& State) {
    TOurs& o = Ours();
    Home(o.VertBar);
    Timed(State, "ours/repaint", [&] { o.Client->repaint(); }, [] {});
}
void BM_Peer_FullRepaint(benchmark::State& State) {
    TPeer& p = Peer();
    Home(p.View.verticalScrollBar());
    Timed(State, "peer/repaint", [&] { p.View.viewport()->repaint(); }, [] {});
}

// Scrolls by one step of the given action and back, timing each direction.
void ScrollSteps(benchmark::State& State, const std::string& Name, QScrollBar* Bar, QAbstractSlider::SliderAction Down,
                 QAbstractSlider::SliderAction Up) {
    Home(Bar);
    bool down = true;
    Timed(
        State, Name,
        [&] {
            Bar->triggerAction(down ? Down : Up);
            QApplication::processEvents();  // the moved pixels and the repainted strip
        },
        [&] { down = !down; });
}

void BM_Ours_ScrollRow(benchmark::State& State) {
    ScrollSteps(State, "ours/row", Ours().VertBar, QAbstractSlider::SliderSingleStepAdd,
                QAbstractSlider::SliderSingleStepSub);
}
void BM_Peer_ScrollRow(benchmark::State& State) {
    ScrollSteps(State, "peer/row", Peer().View.verticalScrollBar(), QAbstractSlider::SliderSingleStepAdd,
                QAbstractSlider::SliderSingleStepSub);
}
void BM_Ours_ScrollPage(benchmark::State& State) {
    ScrollSteps(State, "ours/page", Ours().VertBar, QAbstractSlider::SliderPageStepAdd,
                QAbstractSlider::SliderPageStepSub);
}
void BM_Peer_ScrollPage(benchmark::State& State) {
    ScrollSteps(State, "peer/page", Peer().View.verticalScrollBar(), QAbstractSlider::SliderPageStepAdd,
                QAbstractSlider::SliderPageStepSub);
}

// Hit tests in batches of 1,000 random points (one iteration), the view
// scrolled to a new random place before each batch.
template <typename FScroll, typename FHit>
void HitBatches(benchmark::State& State, const std::string& Name, FScroll&& ScrollSomewhere, FHit&& Hit) {
    std::mt19937 rng(5);
    constexpr int Batch = 1000;
    std::vector<QPoint> points(Batch);
    double total = 0;
    int64_t calls = 0;
    for (auto _ : State) {
        ScrollSomewhere(rng);
        QApplication::processEvents();
        for (QPoint& q : points) q = QPoint(int(rng() % PaneWidth), int(rng() % PaneHeight));
        const double t0 = Now();
        for (const QPoint& q : points) Hit(q);
        const double t1 = Now();
        State.SetIterationTime(t1 - t0);
        total += t1 - t0;
        calls += Batch;
    }
    Results[Name] = total / double(calls);
}

void BM_Ours_HitTest(benchmark::State& State) {
    TOurs& o = Ours();
    HitBatches(
        State, "ours/hit",
        [&](std::mt19937& Rng) { o.Client->ScrollTo({0, int32_t(Rng() % (int64_t(Rows - 100) * RowHeight))}); },
        [&](const QPoint& Q) {
            TPoint cell;
            benchmark::DoNotOptimize(o.Client->HitTest({Q.x(), Q.y()}, cell));
            benchmark::DoNotOptimize(cell);
        });
}
void BM_Peer_HitTest(benchmark::State& State) {
    TPeer& p = Peer();
    HitBatches(
        State, "peer/hit", [&](std::mt19937& Rng) { p.View.verticalScrollBar()->setValue(int(Rng() % (Rows - 100))); },
        [&](const QPoint& Q) { benchmark::DoNotOptimize(p.View.indexAt(Q)); });
}

// The height of one row deep in the million, alternating between two values
// so that every call changes it; the repaint it requests is not timed.
template <typename FSet>
void RowHeightChanges(benchmark::State& State, const std::string& Name, QScrollBar* Bar, FSet&& Set) {
    Home(Bar);
    std::mt19937 rng(9);
    int k = 0;
    int32_t row = 0;
    Timed(State, Name, [&] { Set(row, 24 + (k & 1)); },
          [&] {
              if ((++k & 1) == 0) row = Rows / 2 + int32_t(rng() % (Rows / 2));
              if ((k & 63) == 0) QApplication::processEvents();
          });
    QApplication::processEvents();
}

void BM_Ours_RowHeight(benchmark::State& State) {
    TOurs& o = Ours();
    RowHeightChanges(State, "ours/height", o.VertBar,
                     [&](int32_t Row, int H) { o.Sheet.SetSize(Row, axRows, H); });
}
void BM_Peer_RowHeight(benchmark::State& State) {
    TPeer& p = Peer();
    RowHeightChanges(State, "peer/height", p.View.verticalScrollBar(),
                     [&](int32_t Row, int H) { p.View.setRowHeight(Row, H); });
}

void Register() {
    auto reg = [](const char* Name, void (*Fn)(benchmark::State&), benchmark::TimeUnit Unit) {
        benchmark::RegisterBenchmark(Name, Fn)->UseManualTime()->Unit(Unit);
    };
    reg("Grid/full repaint", BM_Ours_FullRepaint, benchmark::kMillisecond);
    reg("Peer/full repaint", BM_Peer_FullRepaint, benchmark::kMillisecond);
    reg("Grid/scroll one row", BM_Ours_ScrollRow, benchmark::kMillisecond);
    reg("Peer/scroll one row", BM_Peer_ScrollRow, benchmark::kMillisecond);
    reg("Grid/scroll one page", BM_Ours_ScrollPage, benchmark::kMillisecond);
    reg("Peer/scroll one page", BM_Peer_ScrollPage, benchmark::kMillisecond);
    // Fixed iteration counts: each batch and every 64th height change settles
    // a repaint, which would otherwise dominate the running time.
    benchmark::RegisterBenchmark("Grid/HitTest x1000", BM_Ours_HitTest)->UseManualTime()->Iterations(200)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Peer/indexAt x1000", BM_Peer_HitTest)->UseManualTime()->Iterations(200)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Grid/row height", BM_Ours_RowHeight)->UseManualTime()->Iterations(2000)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("Peer/setRowHeight", BM_Peer_RowHeight)->UseManualTime()->Iterations(2000)->Unit(benchmark::kMicrosecond);
}

void Summary() {
    auto get = [](const char* Key) {
        const auto it = Results.find(Key);
        return it == Results.end() ? 0.0 : it->second;
    };
    auto line = [](const char* What, double Ours, double Peer, double Scale, const char* Unit) {
        std::printf("  %-22s %10.3f %-2s %10.3f %-2s  ratio %7.3f\n", What, Ours * Scale, Unit, Peer * Scale, Unit,
                    Peer > 0 ? Ours / Peer : 0.0);
    };
    std::printf("\n== grid vs QTableView (%d x %d pane, %d rows x %d columns) ==\n", PaneWidth, PaneHeight, Rows, Cols);
    std::printf("  %-22s %13s %13s\n", "", "grid", "QTableView");
    line("full repaint", get("ours/repaint"), get("peer/repaint"), 1e3, "ms");
    line("scroll one row", get("ours/row"), get("peer/row"), 1e3, "ms");
    line("scroll one page", get("ours/page"), get("peer/page"), 1e3, "ms");
    line("HitTest / indexAt", get("ours/hit"), get("peer/hit"), 1e9, "ns");
    line("row height", get("ours/height"), get("peer/height"), 1e6, "us");
    auto target = [](const char* What, double Value, double Limit, const char* Of) {
        std::printf("  %-34s %8.3f (target <= %s) %s\n", What, Value, Of, Value <= Limit ? "met" : "NOT met");
    };
    std::printf("\n");
    if (get("peer/repaint") > 0) target("full repaint / peer's", get("ours/repaint") / get("peer/repaint"), 1.0, "1.0");
    if (get("ours/repaint") > 0) target("one-row scroll / own full repaint", get("ours/row") / get("ours/repaint"), 0.25, "0.25");
    if (get("ours/hit") > 0) target("HitTest in us", get("ours/hit") * 1e6, 1.0, "1 us");
    if (get("ours/height") > 0) target("row height change in us", get("ours/height") * 1e6, 50.0, "50 us");
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Register();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Summary();
    return 0;
}
