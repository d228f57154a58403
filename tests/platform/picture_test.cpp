#include "platform/picture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "platform/exceptions.h"
#include "platform/font.h"
#include "platform/stream.h"
#include "test_images.h"

using namespace qv;
using namespace qv::test;

namespace {

class PictureFiles : public ::testing::Test {
protected:
    std::string Write(const std::string& Name, const std::string& Bytes) {
        const std::string path = (FDir / Name).string();
        TMemoryStream(Bytes).SaveToFile(path);
        return path;
    }
    void SetUp() override {
        FDir = std::filesystem::path(::testing::TempDir()) /
               ("qv_picture_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::create_directories(FDir);
    }
    void TearDown() override { std::filesystem::remove_all(FDir); }
    std::filesystem::path FDir;
};

std::string MessageOfLoad(TPicture& P, const std::string& File) {
    try {
        P.LoadFromFile(File);
    } catch (const Exception& e) {
        return e.Message();
    }
    return "(loaded)";
}

}  // namespace

TEST_F(PictureFiles, PicksTheGraphicClassByExtension) {
    TPicture p;
    int changes = 0;
    p.OnChange = [&](TObject* Sender) {
        EXPECT_EQ(Sender, &p);
        ++changes;
    };
    p.LoadFromFile(Write("a.BMP", MakeBmp(4, 3)));
    EXPECT_EQ(p.Graphic()->ClassName(), "TBitmap");
    EXPECT_EQ(p.Width(), 4);
    p.LoadFromFile(Write("b.ico", MakeIco(32, 32)));
    EXPECT_EQ(p.Graphic()->ClassName(), "TIcon");
    p.LoadFromFile(Write("c.wmf", MakeWmf(0, 0, 96, 48, 96)));
    EXPECT_EQ(p.Graphic()->ClassName(), "TMetafile");
    p.LoadFromFile(Write("d.Emf", MakeEmf(2540, 2540)));
    EXPECT_EQ(p.Height(), 96);
    EXPECT_EQ(changes, 4);

    // Failures name the problem and keep the picture as it was.
    EXPECT_EQ(MessageOfLoad(p, Write("e.xyz", MakeBmp(1, 1))), "Unknown picture file extension (.xyz)");
    EXPECT_EQ(MessageOfLoad(p, Write("f.jpg", "")), "Unknown picture file extension (.jpg)");
    const std::string wrong = Write("g.bmp", MakeIco(16, 16));
    EXPECT_EQ(MessageOfLoad(p, wrong),
              "Invalid TBitmap image: not a bitmap file (no BM signature) (file " + wrong + ")");
    EXPECT_THROW(p.LoadFromFile((FDir / "missing.bmp").string()), EFOpenError);
    EXPECT_EQ(p.Graphic()->ClassName(), "TMetafile");
    EXPECT_EQ(changes, 4);
}

TEST_F(PictureFiles, SavesTheFileImageUnchanged) {
    TPicture p, q;
    EXPECT_THROW(p.SaveToFile((FDir / "none.bmp").string()), EInvalidGraphic);
    p.LoadFromFile(Write("in.ico", MakeIco(0, 0)));
    const std::string out = (FDir / "out.ico").string();
    p.SaveToFile(out);
    q.LoadFromFile(out);
    EXPECT_EQ(q.Graphic()->Data(), MakeIco(0, 0));
    EXPECT_EQ(q.Width(), 256);
}

TEST_F(PictureFiles, RegisteredFormatsExtendLoading) {
    TPicture::RegisterFileFormat("QVTEST", [](const std::string& FileName) -> std::unique_ptr<TGraphic> {
        auto b = std::make_unique<TBitmap>();
        b->LoadFromFile(FileName);  // the test format is a bitmap in disguise
        return b;
    });
    TPicture p;
    p.LoadFromFile(Write("x.qvtest", MakeBmp(6, 2)));
    EXPECT_EQ(p.Graphic()->ClassName(), "TBitmap");
    EXPECT_EQ(p.Width(), 6);
}

TEST(Picture, HoldsCopiesAndForwardsGraphicChanges) {
    TPicture p;
    EXPECT_EQ(p.Graphic(), nullptr);
    EXPECT_EQ(p.Width(), 0);
    int changes = 0;
    p.OnChange = [&](TObject*) { ++changes; };
    TBitmap b;
    b.LoadFromBytes(MakeBmp(2, 5));
    p.SetGraphic(&b);
    EXPECT_NE(p.Graphic(), &b);
    EXPECT_EQ(p.Height(), 5);
    p.SetGraphic(&b);  // same image
    EXPECT_EQ(changes, 1);
    p.Graphic()->LoadFromBytes(MakeBmp(7, 1));
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(p.Width(), 7);
    EXPECT_EQ(b.Width(), 2);

    TPicture q;
    q.Assign(&p);
    EXPECT_TRUE(q.Graphic()->Equals(*p.Graphic()));
    p.Assign(nullptr);
    p.Assign(nullptr);
    EXPECT_EQ(p.Graphic(), nullptr);
    EXPECT_EQ(changes, 3);
    p.Assign(&b);
    EXPECT_EQ(p.Width(), 2);
    TFont f;
    EXPECT_THROW(p.Assign(&f), EConvertError);
    EXPECT_EQ(p.Width(), 2);
}

TEST(Picture, StoredDataNamesTheGraphicClass) {
    TPicture p, q;
    EXPECT_THROW(p.WriteData(*std::make_unique<TMemoryStream>()), EInvalidGraphic);
    TIcon i;
    i.LoadFromBytes(MakeIco(16, 32));
    p.SetGraphic(&i);
    TMemoryStream s;
    p.WriteData(s);
    EXPECT_EQ(s.Bytes().substr(0, 6), std::string("\x05TIcon"));
    EXPECT_EQ(s.Bytes().substr(6), i.Data());
    s.SetPosition(0);
    q.ReadData(s);
    EXPECT_EQ(q.Graphic()->ClassName(), "TIcon");
    EXPECT_EQ(q.Height(), 32);

    TMemoryStream unknown(std::string("\x0ATJPEGImage\x00\x00\x00\x00", 15));
    try {
        q.ReadData(unknown);
        FAIL() << "no exception";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message(), "Unknown graphic class TJPEGImage in picture data");
    }
    TMemoryStream cut(std::string("\x07TBitmap\x10\x00\x00\x00BM", 14));
    EXPECT_THROW(q.ReadData(cut), EInvalidGraphic);
    TMemoryStream longName(std::string("\x40") + std::string(64, 'T'));
    EXPECT_THROW(q.ReadData(longName), EInvalidGraphic);
    EXPECT_EQ(q.Graphic()->ClassName(), "TIcon");  // unchanged by the failures

    EXPECT_EQ(TPicture::CreateGraphic("TMetafile")->ClassName(), "TMetafile");
    EXPECT_EQ(TPicture::CreateGraphic("TGraphic"), nullptr);
    EXPECT_EQ(TPicture::FindGraphicClass("TBitmap"), TBitmap::StaticClass());
}
