#include "platform/graphic.h"

#include <gtest/gtest.h>

#include "platform/exceptions.h"
#include "platform/stream.h"
#include "test_images.h"

using namespace qv;
using namespace qv::test;

namespace {

// Every proper prefix of a valid image must be refused, naming the class,
// and must leave the graphic as it was.
template <typename G>
void ExpectEveryPrefixRefused(const std::string& Image, const std::string& ClassName) {
    G g;
    g.LoadFromBytes(Image);  // a previous image that must survive
    const std::string before = g.Data();
    for (size_t k = 0; k < Image.size(); ++k) {
        try {
            g.LoadFromBytes(Image.substr(0, k));
            ADD_FAILURE() << ClassName << " accepted a prefix of " << k << " of " << Image.size() << " bytes";
        } catch (const EInvalidGraphic& e) {
            EXPECT_NE(e.Message().find(ClassName), std::string::npos) << e.Message();
        }
        ASSERT_EQ(g.Data(), before);
    }
}

std::string MessageOf(TGraphic& G, const std::string& Bytes) {
    try {
        G.LoadFromBytes(Bytes);
    } catch (const EInvalidGraphic& e) {
        return e.Message();
    }
    return "(accepted)";
}

}  // namespace

TEST(Bitmap, ReadsTheSizeFromInfoAndCoreHeaders) {
    TBitmap b;
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(b.Width(), 0);
    b.LoadFromBytes(MakeBmp(3, 2));
    EXPECT_EQ(b.Width(), 3);
    EXPECT_EQ(b.Height(), 2);
    b.LoadFromBytes(MakeBmp(5, -4, 32));  // top-down
    EXPECT_EQ(b.Height(), 4);
    b.LoadFromBytes(MakeBmp(9, 7, 1, true));
    EXPECT_EQ(b.Width(), 9);
    EXPECT_EQ(b.Height(), 7);
    EXPECT_FALSE(b.Empty());
    EXPECT_EQ(b.Data(), MakeBmp(9, 7, 1, true));
}

TEST(Bitmap, RefusesTruncatedAndMalformedImages) {
    ExpectEveryPrefixRefused<TBitmap>(MakeBmp(3, 2), "TBitmap");
    ExpectEveryPrefixRefused<TBitmap>(MakeBmp(4, 3, 8, true), "TBitmap");
    TBitmap b;
    std::string s = MakeBmp(3, 2);
    s[0] = 'X';
    EXPECT_EQ(MessageOf(b, s), "Invalid TBitmap image: not a bitmap file (no BM signature)");
    s = MakeBmp(3, 2);
    s[28] = 7;  // bit count
    EXPECT_EQ(MessageOf(b, s), "Invalid TBitmap image: unsupported bit count 7");
    s = MakeBmp(3, 2);
    s[18] = 0;  // width 0
    EXPECT_NE(MessageOf(b, s).find("width 0"), std::string::npos);
    s = MakeBmp(3, 2);
    s[13] = 0x7F;  // pixel offset far past the end
    EXPECT_NE(MessageOf(b, s).find("outside"), std::string::npos);
    s = MakeBmp(3, 2);
    s[14] = 20;  // unknown header size
    EXPECT_NE(MessageOf(b, s).find("header size 20"), std::string::npos);
    // A huge width must not overflow the row arithmetic into acceptance.
    s = MakeBmp(1, 1, 32);
    s[18] = s[19] = s[20] = char(0xFF);
    s[21] = 0x7F;
    EXPECT_NE(MessageOf(b, s).find("truncated"), std::string::npos);
    EXPECT_TRUE(b.Empty());
}

TEST(Icon, ReadsTheFirstEntryWhereZeroMeans256) {
    TIcon i;
    i.LoadFromBytes(MakeIco(32, 48));
    EXPECT_EQ(i.Width(), 32);
    EXPECT_EQ(i.Height(), 48);
    i.LoadFromBytes(MakeIco(0, 0));
    EXPECT_EQ(i.Width(), 256);
    EXPECT_EQ(i.Height(), 256);
}

TEST(Icon, RefusesTruncatedAndMalformedImages) {
    ExpectEveryPrefixRefused<TIcon>(MakeIco(16, 16), "TIcon");
    TIcon i;
    std::string s = MakeIco(16, 16);
    s[2] = 2;  // a cursor
    EXPECT_EQ(MessageOf(i, s), "Invalid TIcon image: not an icon file (bad header)");
    s = MakeIco(16, 16);
    s[4] = 0;  // no images
    EXPECT_EQ(MessageOf(i, s), "Invalid TIcon image: the icon file holds no image");
    s = MakeIco(16, 16);
    s[6 + 12] = 4;  // first image starts inside the directory
    EXPECT_NE(MessageOf(i, s).find("image 0"), std::string::npos);
    s = MakeIco(16, 16);
    s[6 + 16 + 11] = char(0xFF);  // second image size beyond 4 GB
    EXPECT_NE(MessageOf(i, s).find("image 1"), std::string::npos);
}

TEST(Icon, StoredDataIsTheFileImageAndReadsBackExactly) {
    TIcon a, b;
    a.LoadFromBytes(MakeIco(24, 24));
    TMemoryStream s;
    a.WriteData(s);
    s.WriteByte(0xAB);  // whatever follows must stay unread
    EXPECT_EQ(s.Bytes().substr(0, a.Data().size()), a.Data());
    s.SetPosition(0);
    b.ReadData(s);
    EXPECT_TRUE(b.Equals(a));
    EXPECT_EQ(s.ReadByte(), 0xAB);

    TIcon empty, back;
    back.LoadFromBytes(MakeIco(8, 8));
    TMemoryStream e;
    empty.WriteData(e);
    EXPECT_EQ(e.Size(), 6);
    e.SetPosition(0);
    back.ReadData(e);
    EXPECT_TRUE(back.Empty());

    std::string cut = MakeIco(24, 24);
    cut.pop_back();
    TMemoryStream t(cut);
    EXPECT_THROW(b.ReadData(t), EInvalidGraphic);
    EXPECT_TRUE(b.Equals(a));
}

TEST(Metafile, TakesTheSizeFromThePlaceableBoundsOrTheEnhancedFrame) {
    TMetafile m;
    m.LoadFromBytes(MakeWmf(0, 0, 1440, 720, 1440));  // 1 x 0.5 inch
    EXPECT_EQ(m.Width(), 96);
    EXPECT_EQ(m.Height(), 48);
    EXPECT_FALSE(m.Enhanced());
    m.LoadFromBytes(MakeWmf(-100, 10, 100, 110, 96));
    EXPECT_EQ(m.Width(), 200);
    EXPECT_EQ(m.Height(), 100);
    m.LoadFromBytes(MakeEmf(2540, 1270));  // 1 x 0.5 inch in 0.01 mm
    EXPECT_EQ(m.Width(), 96);
    EXPECT_EQ(m.Height(), 48);
    EXPECT_TRUE(m.Enhanced());
}

TEST(Metafile, RefusesTruncatedAndMalformedImages) {
    ExpectEveryPrefixRefused<TMetafile>(MakeWmf(0, 0, 100, 100, 96), "TMetafile");
    ExpectEveryPrefixRefused<TMetafile>(MakeEmf(2540, 2540), "TMetafile");
    TMetafile m;
    EXPECT_NE(MessageOf(m, MakeWmf(0, 0, 100, 100, 0)).find("0 units per inch"), std::string::npos);
    EXPECT_NE(MessageOf(m, MakeWmf(0, 0, 0, 100, 96)).find("empty bounds"), std::string::npos);
    EXPECT_EQ(MessageOf(m, MakeWmf(0, 0, 10, 10, 96).substr(22)),
              "Invalid TMetafile image: a Windows metafile without a placeable header has no size");
    std::string emf = MakeEmf(100, 100);
    emf[40] = 'X';
    EXPECT_EQ(MessageOf(m, emf), "Invalid TMetafile image: not an enhanced metafile (bad signature)");
    EXPECT_EQ(MessageOf(m, "GIF89a........................"), "Invalid TMetafile image: not a metafile (unknown signature)");
}

TEST(Graphic, StoredDataIsACountedFileImage) {
    TBitmap a, b;
    a.LoadFromBytes(MakeBmp(2, 2));
    TMemoryStream s;
    a.WriteData(s);
    EXPECT_EQ(s.Size(), 4 + int64_t(a.Data().size()));
    s.SetPosition(0);
    EXPECT_EQ(s.ReadInt32(), int32_t(a.Data().size()));
    s.SetPosition(0);
    int changes = 0;
    b.OnChange = [&](TObject*) { ++changes; };
    b.ReadData(s);
    EXPECT_TRUE(b.Equals(a));
    EXPECT_EQ(changes, 1);

    TMemoryStream lying;
    lying.WriteInt32(1000);
    lying.WriteBytes(a.Data());
    lying.SetPosition(0);
    try {
        b.ReadData(lying);
        FAIL() << "no exception";
    } catch (const EInvalidGraphic& e) {
        EXPECT_NE(e.Message().find("1000"), std::string::npos) << e.Message();
    }
    TMemoryStream zero;
    zero.WriteInt32(0);
    zero.SetPosition(0);
    b.ReadData(zero);
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(changes, 2);
}

TEST(Graphic, AssignAndCloneStayWithinOneClass) {
    TBitmap a, b;
    a.LoadFromBytes(MakeBmp(3, 3));
    int changes = 0;
    b.OnChange = [&](TObject*) { ++changes; };
    b.Assign(&a);
    b.Assign(&a);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(b.Width(), 3);
    auto c = a.Clone();
    EXPECT_EQ(c->ClassName(), "TBitmap");
    EXPECT_TRUE(c->Equals(a));
    TIcon i;
    EXPECT_THROW(i.Assign(&a), EConvertError);
    EXPECT_FALSE(i.Equals(a));
}

TEST(Graphic, RefusesSizesBeyondWhatADecoderProduces) {
    const auto patch = [](std::string B, size_t At, uint32_t V) {
        std::string v;
        PutU32(v, V);
        return B.replace(At, 4, v);
    };
    // A bitmap claiming embedded JPEG data skips the row checks, not the size check.
    const std::string jpeg = patch(MakeBmp(2, 2), 30, 4);
    TBitmap b;
    EXPECT_EQ(MessageOf(b, patch(patch(jpeg, 18, 0x7FFFFFFF), 22, 0x7FFFFFFF)),
              "Invalid TBitmap image: size 2147483647 x 2147483647 exceeds 65535 x 65535 pixels");
    EXPECT_NE(MessageOf(b, patch(jpeg, 18, 65536)), "(accepted)");
    EXPECT_EQ(MessageOf(b, patch(patch(jpeg, 18, 65535), 22, 65535)), "(accepted)");
    EXPECT_EQ(b.Width(), 65535);
    // An enhanced metafile whose frame spans the 32-bit range.
    TMetafile m;
    EXPECT_NE(MessageOf(m, patch(MakeEmf(0x7FFFFFFF, 100), 24, 0x80000000u)), "(accepted)");
    EXPECT_NE(MessageOf(m, MakeEmf(0x7FFFFFFF, 100)), "(accepted)");
    EXPECT_TRUE(m.Empty());
}
