// Colour and font conversions, picture formats and the message box
// service of the Qt side.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QMessageBox>
#include <QTimer>
#include <cmath>

#include "platform/exceptions.h"
#include "platform/picture.h"
#include "qt/qt_convert.h"
#include "qt/qt_message_service.h"
#include "qt/qt_picture.h"

namespace qv {
namespace {

// Reads a QFont back: family, character height, style and pitch; colour and
// charset are left alone.
void FromQFont(const QFont& Source, TFont& Font) {
    Font.SetName(Source.family().toStdString());
    if (Source.pixelSize() > 0)
        Font.SetHeight(-Source.pixelSize());
    else
        Font.SetHeight(-static_cast<int32_t>(std::lround(Source.pointSizeF() * FontPixelsPerInch / 72.0)));
    TFontStyles s;
    if (Source.bold()) s.Include(fsBold);
    if (Source.italic()) s.Include(fsItalic);
    if (Source.underline()) s.Include(fsUnderline);
    if (Source.strikeOut()) s.Include(fsStrikeOut);
    Font.SetStyle(s);
    Font.SetPitch(Source.fixedPitch() ? fpFixed : fpDefault);
}

TEST(QtConvertTest, ColoursPlainSystemAndNone) {
    EXPECT_EQ(ToQColor(clRed), QColor(255, 0, 0));
    EXPECT_EQ(ToQColor(RGB(1, 2, 3)), QColor(1, 2, 3));
    EXPECT_EQ(ToQColor(clNone).alpha(), 0);
    EXPECT_EQ(ToQColor(clDefault).alpha(), 0);
    const QPalette palette = QGuiApplication::palette();
    EXPECT_EQ(ToQColor(clWindow), palette.color(QPalette::Base));
    EXPECT_EQ(ToQColor(clBtnFace), palette.color(QPalette::Button));
    EXPECT_EQ(ToQColor(clHighlight), palette.color(QPalette::Highlight));
    // An index without a palette role uses the fixed default palette.
    const TColor fallback = ColorToRGB(SystemColor(25));
    EXPECT_EQ(ToQColor(SystemColor(25)), QColor(GetRValue(fallback), GetGValue(fallback), GetBValue(fallback)));
}

TEST(QtConvertTest, FontsKeepHeightAndStyleAndScaleByPoints) {
    TFont font;
    font.SetName("Sans Serif");
    font.SetHeight(-13);
    font.SetStyle({fsBold, fsUnderline});
    QFont q = ToQFont(font);
    EXPECT_EQ(q.pixelSize(), 13);
    EXPECT_TRUE(q.bold());
    EXPECT_TRUE(q.underline());
    EXPECT_FALSE(q.italic());

    font.SetSize(10);  // 13 px
    EXPECT_EQ(ToQFont(font, 200).pixelSize(), 27);  // 20 points
    EXPECT_EQ(ToQFont(font, 150).pixelSize(), 20);  // 15 points
    TFont scaled;
    scaled.Assign(font);
    ScaleFont(scaled, 200);
    EXPECT_EQ(scaled.Size(), 20);
    ScaleFont(scaled, 100);
    EXPECT_EQ(scaled.Size(), 20);

    // A positive height is the line height the font must fit in.
    font.SetHeight(20);
    EXPECT_LE(QFontMetrics(ToQFont(font)).height(), 20);

    TFont back;
    back.SetColor(clRed);
    FromQFont(ToQFont(font, 100), back);
    font.SetHeight(-13);
    FromQFont(ToQFont(font), back);
    EXPECT_EQ(back.Height(), -13);
    EXPECT_EQ(back.Style(), (TFontStyles{fsBold, fsUnderline}));
    EXPECT_EQ(back.Color(), clRed);  // colour is not part of a QFont
}

TEST(QtPictureTest, PngFilesLoadAsBitmapsAndIconsDecode) {
    RegisterQtPictureFormats();
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(qRgb(0, 128, 255));
    const QString png = QDir::temp().filePath("qv_picture_test.png");
    ASSERT_TRUE(image.save(png, "PNG"));
    TPicture picture;
    picture.LoadFromFile(png.toStdString());
    ASSERT_NE(dynamic_cast<TBitmap*>(picture.Graphic()), nullptr);
    EXPECT_EQ(picture.Width(), 3);
    EXPECT_EQ(picture.Height(), 2);
    const QImage decoded = GraphicToImage(*picture.Graphic());
    EXPECT_EQ(decoded.pixel(2, 1) & 0xFFFFFF, 0x0080FFu);
    QFile::remove(png);
    EXPECT_THROW(picture.LoadFromFile("/nonexistent/qv.png"), EFOpenError);
    EXPECT_EQ(picture.Width(), 3);  // kept what it held

    // A changed graphic is decoded again, not served from the cache.
    QImage red(3, 2, QImage::Format_RGB32);
    red.fill(Qt::red);
    picture.Graphic()->LoadFromBytes(ImageToBmpBytes(red));
    EXPECT_EQ(GraphicToImage(*picture.Graphic()).pixel(0, 0) & 0xFFFFFF, 0xFF0000u);

    QByteArray ico;
    QBuffer buffer(&ico);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(QImage(16, 16, QImage::Format_ARGB32).save(&buffer, "ICO"));
    TIcon icon;
    icon.LoadFromBytes(std::string(ico.constData(), static_cast<size_t>(ico.size())));
    EXPECT_EQ(GraphicToImage(icon).size(), QSize(16, 16));
    EXPECT_TRUE(GraphicToImage(TMetafile()).isNull());
}

TEST(QtMessageServiceTest, AnswersWithTheButtonPressed) {
    TQtMessageService service;
    auto press = [](QMessageBox::StandardButton Button) {
        QTimer::singleShot(0, [Button] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->button(Button)->click();
        });
    };
    press(QMessageBox::No);
    EXPECT_EQ(service.MessageBox("Save?", "Sheet", miQuestion, mbYesNoCancel), idNo);
    press(QMessageBox::Ok);
    EXPECT_EQ(service.MessageBox("Done", "Sheet", miInformation, mbOK), idOk);
    press(QMessageBox::Cancel);
    EXPECT_EQ(service.MessageBox("Go on?", "Sheet", miWarning, mbOKCancel), idCancel);

    InstallQtMessageService();
    EXPECT_NE(dynamic_cast<TQtMessageService*>(&MessageService()), nullptr);
    SetMessageService(nullptr);
    EXPECT_EQ(&MessageService(), &DefaultMessageService());
}

}  // namespace
}  // namespace qv
