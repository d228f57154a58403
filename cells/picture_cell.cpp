#include "cells/picture_cell.h"

#include <algorithm>
#include <climits>

#include "cells/placement.h"
#include "cells/qv_picture.h"
#include "grids/paint_context.h"
#include "platform/canvas.h"
#include "platform/exceptions.h"
#include "platform/stream.h"

namespace qv {

QV_CLASS_IMPL(TQvCPicture, TQvCell)

TQvCPicture::TQvCPicture() = default;

TQvCPicture::~TQvCPicture() { FreeData(); }

void TQvCPicture::CreateData() {
    if (FPicture) return;
    FPicture = std::make_unique<TQvPicture>();
    FPicture->OnChange = [this](TObject*) { ValueChanged(); };
}

void TQvCPicture::FreeData() {
    if (FPicture) FPicture->OnChange = nullptr;
    FPicture.reset();
}

TObject* TQvCPicture::AsObject() { return FPicture.get(); }

void TQvCPicture::SetAsObject(TObject* V) {
    CreateData();
    if (V == FPicture.get()) return;
    if (V && !dynamic_cast<TPersistent*>(V))
        throw EConvertError("Cannot assign a " + V->ClassName() + " to a TQvPicture");
    FPicture->Assign(static_cast<const TPersistent*>(dynamic_cast<TPersistent*>(V)));
}

void TQvCPicture::DrawValue(TQvPaintContext& Context, TRect R) {
    if (!Context.Canvas || !FPicture) return;
    const TGraphic* g = FPicture->Graphic();
    if (!g || g->Empty()) return;
    // In 64 bits: a large picture at a large scale leaves the 32-bit range.
    const auto scaled = [&](int32_t V) {
        return static_cast<int32_t>(std::clamp<int64_t>(int64_t(V) * Context.Scale / 100, 0, INT32_MAX));
    };
    const TSize size{scaled(g->Width()), scaled(g->Height())};
    Context.Canvas->StretchDraw(QvPlaceRect(R, size, Context.Layout()), *g);
}

void TQvCPicture::ReadFromStream(TStream& Stream) {
    TQvCell::ReadFromStream(Stream);
    CreateData();
    // A read value is stored without a change notification.
    auto onChange = std::move(FPicture->OnChange);
    FPicture->OnChange = nullptr;
    try {
        FPicture->Serialize(Stream, true);
    } catch (...) {
        FPicture->OnChange = std::move(onChange);
        throw;
    }
    FPicture->OnChange = std::move(onChange);
}

void TQvCPicture::WriteToStream(TStream& Stream) {
    TQvCell::WriteToStream(Stream);
    if (FPicture)
        FPicture->Serialize(Stream, false);
    else
        Stream.WriteByte(0);
}

}  // namespace qv
