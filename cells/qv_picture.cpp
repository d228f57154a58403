#include "cells/qv_picture.h"

#include "platform/exceptions.h"
#include "platform/stream.h"

namespace qv {

TQvFiler::TQvFiler(TStream& Stream, bool Reading, int32_t BufSize)
    : TFiler(Stream), FReading(Reading), FBufSize(BufSize) {}

void TQvFiler::DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData,
                                    const TStreamProc& WriteData, bool HasData) {
    if (Name != "Data") return;
    if (FReading) {
        if (FStream.Remaining() < 1) throw EReadError("Picture data ends before its presence flag");
        if (FStream.ReadByte() != 0 && ReadData) ReadData(FStream);
    } else {
        FStream.WriteByte(HasData ? 1 : 0);
        if (HasData && WriteData) WriteData(FStream);
    }
}

QV_CLASS_IMPL(TQvPicture, TPicture)

void TQvPicture::DefineProperties(TFiler& Filer) {
    // An empty graphic has no file image to store: it is written as no
    // picture, so that every stored graphic can be read back.
    const bool hasData = Graphic() && !Graphic()->Empty();
    Filer.DefineBinaryProperty(
        "Data", [this](TStream& S) { ReadData(S); }, [this](TStream& S) { WriteData(S); }, hasData);
}

void TQvPicture::Serialize(TStream& Stream, bool Reading) {
    TQvFiler filer(Stream, Reading);
    if (Reading) {
        // A zero flag stands for a cell without a picture: reading it
        // reproduces that state.
        bool present = false;
        filer.DefineBinaryProperty(
            "Data", [&](TStream& S) { present = true; ReadData(S); }, nullptr, false);
        if (!present && Graphic()) SetGraphic(nullptr);
    } else {
        DefineProperties(filer);
    }
}

}  // namespace qv
