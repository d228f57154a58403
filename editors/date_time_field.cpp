#include "editors/date_time_field.h"

#include <QEvent>
#include <QLineEdit>
#include <QStyleOptionSpinBox>
#include <algorithm>
#include <cmath>
#include <vector>

#include "editors/day_time.h"
#include "platform/conversions.h"
#include "platform/exceptions.h"
#include "platform/format_datetime.h"
#include "qt/qt_convert.h"
#include "view/grid.h"

namespace qv {

namespace {

// Two values are the same moment when they decode to the same millisecond.
bool SameMoment(TDateTime A, TDateTime B) {
    int Y1, M1, D1, H1, N1, S1, Z1, Y2, M2, D2, H2, N2, S2, Z2;
    return TryDecodeDateTime(A, Y1, M1, D1, H1, N1, S1, Z1) && TryDecodeDateTime(B, Y2, M2, D2, H2, N2, S2, Z2) &&
           Y1 == Y2 && M1 == M2 && D1 == D2 && H1 == H2 && N1 == N2 && S1 == S2 && Z1 == Z2;
}

}  // namespace

TDateTimeField::TDateTimeField(TKind Kind, QWidget* Parent) : QAbstractSpinBox(Parent), FKind(Kind) {
    setFrame(false);
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    setKeyboardTracking(true);
    connect(lineEdit(), &QLineEdit::textChanged, this, [this] { TextChanged(); });
}

std::string TDateTimeField::Text() const { return lineEdit()->text().toStdString(); }

bool TDateTimeField::IsBlank() const { return Trim(Text()).empty(); }

bool TDateTimeField::ReadValue(TDateTime& V) const {
    unsigned parts = 0;
    TDateTime read;
    if (!TryReadDateTimeEntry(Text(), read, parts)) return false;
    V = parts == EntryTime ? ComposeDateTime(WholeDays(FBase), read) : read;
    return true;
}

void TDateTimeField::ShowValue(TDateTime V, const std::string& Format) {
    FBase = std::isfinite(V) ? V : 0;
    FFormat = Format;
    int y, m, d, h, n, s, z;
    if (!TryDecodeDateTime(V, y, m, d, h, n, s, z)) {
        lineEdit()->clear();
        return;
    }
    static const char* const DateForms[] = {"ddddd", "ddddd t", "ddddd tt", "ddddd tt.zzz"};
    static const char* const TimeForms[] = {"tt", "tt.zzz"};
    std::vector<std::string> forms;
    if (!Format.empty()) forms.push_back(Format);
    if (FKind == fkDate) forms.insert(forms.end(), std::begin(DateForms), std::end(DateForms));
    else forms.insert(forms.end(), std::begin(TimeForms), std::end(TimeForms));
    for (const std::string& f : forms) {
        try {
            lineEdit()->setText(QString::fromStdString(FormatDateTime(f, V)));
        } catch (const Exception&) {
            continue;  // a cell format FormatDateTime refuses
        }
        TDateTime back;
        if (ReadValue(back) && SameMoment(back, V)) return;
    }
    // Finer than a millisecond: the last form comes nearest.
    lineEdit()->setText(QString::fromStdString(FormatDateTime(forms.back(), V)));
}

void TDateTimeField::ShowBlank(TDateTime Base) {
    FBase = std::isfinite(Base) ? Base : 0;
    lineEdit()->clear();
}

void TDateTimeField::SetColors(TColor Valid, TColor Invalid) {
    FValidColor = Valid;
    FInvalidColor = Invalid;
    TextChanged();
}

void TDateTimeField::TextChanged() {
    TDateTime v;
    FValid = IsBlank() || ReadValue(v);
    // Only the text colour is the line's own: the fill the grid gives the
    // field for each cell still reaches it.
    QPalette p;
    p.setColor(QPalette::Text, ToQColor(FValid ? FValidColor : FInvalidColor));
    lineEdit()->setPalette(p);
    if (FBounds.isValid() && width() < sizeHint().width()) SetBounds(FBounds);
}

bool TDateTimeField::event(QEvent* E) {
    try {
        return QAbstractSpinBox::event(E);
    } catch (const std::exception& e) {
        ReportEventFailure(this, e);
        E->accept();
        return true;
    }
}

QAbstractSpinBox::StepEnabled TDateTimeField::stepEnabled() const {
    TDateTime v;
    return ReadValue(v) ? (StepUpEnabled | StepDownEnabled) : StepNone;
}

void TDateTimeField::stepBy(int Steps) {
    TDateTime v;
    if (!ReadValue(v)) return;
    double days = WholeDays(v);
    double fraction = DayFraction(v);
    if (FKind == fkDate) {
        days += Steps;
    } else {
        // A minute a step, round the clock within the day.
        const int64_t perDay = static_cast<int64_t>(MSecsPerDay);
        int64_t ms = std::llround(fraction * MSecsPerDay) + int64_t(Steps) * 60000;
        ms = (ms % perDay + perDay) % perDay;
        fraction = ms / MSecsPerDay;
    }
    const TDateTime stepped = ComposeDateTime(days, fraction);
    int y, m, d, h, n, s, z;
    if (!TryDecodeDateTime(stepped, y, m, d, h, n, s, z)) return;  // past the calendar's ends
    ShowValue(stepped, FFormat);
    lineEdit()->selectAll();
}

QSize TDateTimeField::sizeHint() const {
    ensurePolished();
    const QFontMetrics fm(font());
    // Room for the text shown, and at least for a date and time in the
    // short forms, so that a date is never cut off.
    std::string sample;
    try {
        sample = FormatDateTime(FKind == fkDate ? "ddddd" : "tt", EncodeDateTime(2024, 12, 28, 23, 58, 58, 0));
    } catch (const Exception&) {
    }
    const int text = std::max(fm.horizontalAdvance(lineEdit()->text()), fm.horizontalAdvance(QString::fromStdString(sample)));
    QStyleOptionSpinBox opt;
    initStyleOption(&opt);
    const QSize content(text + 6, std::max(fm.height(), lineEdit()->minimumSizeHint().height()));
    return style()->sizeFromContents(QStyle::CT_SpinBox, &opt, content, this);
}

void TDateTimeField::SetBounds(QRect R) {
    FBounds = R;
    R.setWidth(std::max(R.width(), sizeHint().width()));
    setGeometry(R);
}

}  // namespace qv
