// Writes the seed corpus of the fuzz targets with the project's own writers:
//   qv_make_corpus <fuzz/corpus folder>
// Each fuzz target takes a leading selector byte; the seeds carry the byte
// that routes them to the reader that wrote them.
#include <cstdio>
#include <filesystem>
#include <string>

#include "lists/int_slist.h"
#include "lists/list_slist.h"
#include "platform/graphic.h"
#include "platform/picture.h"
#include "platform/stream.h"
#include "tests/platform/test_images.h"

using namespace qv;
namespace fs = std::filesystem;

namespace {

void Put(const fs::path& Dir, const std::string& Name, char Selector, const std::string& Bytes) {
    fs::create_directories(Dir);
    TMemoryStream s(std::string(1, Selector) + Bytes);
    s.SaveToFile((Dir / Name).string());
}

void ListSeeds(const fs::path& Dir) {
    TSList plain;
    plain.SetCount(40);
    for (int i : {0, 3, 17, 39}) plain.SetItem(i, i * 11 + 1);
    TMemoryStream a;
    plain.SaveToStream(a);
    Put(Dir, "list", 0, a.Bytes());

    TIntSList sizes;
    sizes.SetDefault(60);
    sizes.SetValue(2, 80);
    sizes.SetValue(300, 0);
    TMemoryStream b;
    sizes.SaveToStream(b);
    Put(Dir, "int_list", 1, b.Bytes());

    TListSList table;
    auto* sub = new TIntSList;
    sub->SetDefault(1);
    sub->SetValue(5, 3);
    table.SetItem(2, sub);
    TMemoryStream c;
    table.SaveItems(c);
    Put(Dir, "nested_table", char(0x82), c.Bytes());
}

void GraphicSeeds(const fs::path& Dir) {
    Put(Dir, "bitmap", 0, test::MakeBmp(3, 2));
    Put(Dir, "icon", 1, test::MakeIco(16, 16));
    Put(Dir, "metafile", 2, test::MakeWmf(0, 0, 1440, 720, 1440));
    TPicture p;
    TBitmap bmp;
    bmp.LoadFromBytes(test::MakeBmp(2, 2));
    p.SetGraphic(&bmp);
    TMemoryStream s;
    p.WriteData(s);
    Put(Dir, "picture_data", 3, s.Bytes());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const fs::path root = argv[1];
    ListSeeds(root / "lists");
    GraphicSeeds(root / "graphics");
    return 0;
}
