#include "platform/picture.h"

#include <algorithm>
#include <cctype>
#include <utility>
#include <vector>

#include "platform/exceptions.h"
#include "platform/stream.h"

namespace qv {

QV_CLASS_IMPL(TPicture, TPersistent)

namespace {

constexpr size_t MaxClassNameLength = 63;

std::vector<TClass>& GraphicClasses() {
    static std::vector<TClass> classes{TBitmap::StaticClass(), TIcon::StaticClass(), TMetafile::StaticClass()};
    return classes;
}

std::string Lower(std::string S) {
    for (char& c : S) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return S;
}

std::vector<std::pair<std::string, TPicture::TFileLoader>>& FileFormats() {
    static std::vector<std::pair<std::string, TPicture::TFileLoader>> formats;
    return formats;
}

template <typename G>
std::unique_ptr<TGraphic> LoadAs(const std::string& FileName) {
    auto g = std::make_unique<G>();
    g->LoadFromFile(FileName);
    return g;
}

// The extension of the last path component, without the dot.
std::string ExtensionOf(const std::string& FileName) {
    const size_t slash = FileName.find_last_of("/\\");
    const size_t dot = FileName.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    return FileName.substr(dot + 1);
}

}  // namespace

TPicture::~TPicture() {
    if (FGraphic) FGraphic->OnChange = nullptr;
}

void TPicture::Changed() {
    if (OnChange) OnChange(this);
}

void TPicture::Replace(std::unique_ptr<TGraphic> G) {
    if (FGraphic) FGraphic->OnChange = nullptr;
    FGraphic = std::move(G);
    if (FGraphic) FGraphic->OnChange = [this](TObject*) { Changed(); };
    Changed();
}

void TPicture::SetGraphic(const TGraphic* Value) {
    if (Value == FGraphic.get()) return;
    if (!Value) {
        if (FGraphic) Replace(nullptr);
        return;
    }
    if (FGraphic && FGraphic->Equals(*Value)) return;
    Replace(Value->Clone());
}

int32_t TPicture::Width() const { return FGraphic ? FGraphic->Width() : 0; }

int32_t TPicture::Height() const { return FGraphic ? FGraphic->Height() : 0; }

void TPicture::Assign(const TPersistent* Source) {
    if (!Source) {
        SetGraphic(nullptr);
    } else if (auto* pic = dynamic_cast<const TPicture*>(Source)) {
        SetGraphic(pic->Graphic());
    } else if (auto* g = dynamic_cast<const TGraphic*>(Source)) {
        SetGraphic(g);
    } else {
        TPersistent::Assign(Source);
    }
}

void TPicture::LoadFromFile(const std::string& FileName) {
    const std::string ext = ExtensionOf(FileName);
    const std::string key = Lower(ext);
    std::unique_ptr<TGraphic> g;
    if (key == "bmp") {
        g = LoadAs<TBitmap>(FileName);
    } else if (key == "ico") {
        g = LoadAs<TIcon>(FileName);
    } else if (key == "wmf" || key == "emf") {
        g = LoadAs<TMetafile>(FileName);
    } else {
        auto& formats = FileFormats();
        auto it = std::find_if(formats.begin(), formats.end(), [&](const auto& f) { return f.first == key; });
        if (it == formats.end()) throw EInvalidGraphic("Unknown picture file extension (." + ext + ")");
        g = it->second(FileName);
        if (!g) throw EInvalidGraphic("Could not load picture file " + FileName);
    }
    Replace(std::move(g));
}

void TPicture::SaveToFile(const std::string& FileName) const {
    if (!FGraphic || FGraphic->Empty())
        throw EInvalidGraphic("Cannot save an empty picture to " + FileName);
    FGraphic->SaveToFile(FileName);
}

void TPicture::ReadData(TStream& Stream) {
    if (Stream.Remaining() < 1) throw EInvalidGraphic("Picture data ends before the graphic class name");
    const uint8_t len = Stream.ReadByte();
    if (len > MaxClassNameLength || len > Stream.Remaining())
        throw EInvalidGraphic("Picture data holds an invalid graphic class name length " + std::to_string(len));
    const std::string name = Stream.ReadBytes(len);
    std::unique_ptr<TGraphic> g = CreateGraphic(name);
    if (!g) throw EInvalidGraphic("Unknown graphic class " + name + " in picture data");
    g->ReadData(Stream);
    Replace(std::move(g));
}

void TPicture::WriteData(TStream& Stream) const {
    if (!FGraphic) throw EInvalidGraphic("The picture holds no graphic to write");
    const std::string name = FGraphic->ClassName();
    Stream.WriteByte(static_cast<uint8_t>(name.size()));
    Stream.WriteBytes(name);
    FGraphic->WriteData(Stream);
}

TClass TPicture::FindGraphicClass(const std::string& ClassName) {
    for (TClass c : GraphicClasses())
        if (ClassName == c->Name) return c;
    return nullptr;
}

std::unique_ptr<TGraphic> TPicture::CreateGraphic(const std::string& ClassName) {
    TClass c = FindGraphicClass(ClassName);
    if (!c) return nullptr;
    std::unique_ptr<TObject> obj(c->Create());
    auto* g = dynamic_cast<TGraphic*>(obj.get());
    if (!g) return nullptr;
    obj.release();
    return std::unique_ptr<TGraphic>(g);
}

void TPicture::RegisterGraphicClass(TClass GraphicClass) {
    if (!GraphicClass || !GraphicClass->InheritsFrom(TGraphic::StaticClass()))
        throw EInvalidGraphic("Only graphic classes can be registered for pictures");
    if (std::string(GraphicClass->Name).size() > MaxClassNameLength)
        throw EInvalidGraphic(std::string("Graphic class name too long: ") + GraphicClass->Name);
    auto& classes = GraphicClasses();
    if (std::find(classes.begin(), classes.end(), GraphicClass) == classes.end()) classes.push_back(GraphicClass);
}

void TPicture::RegisterFileFormat(const std::string& Extension, TFileLoader Loader) {
    const std::string key = Lower(Extension);
    auto& formats = FileFormats();
    auto it = std::find_if(formats.begin(), formats.end(), [&](const auto& f) { return f.first == key; });
    if (it != formats.end())
        it->second = std::move(Loader);
    else
        formats.emplace_back(key, std::move(Loader));
}

}  // namespace qv
