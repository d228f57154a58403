// TQvCPicture: a cell showing a picture. It owns a TQvPicture whose change
// notification is the cell's value change; it has no display text.
#pragma once

#include <memory>

#include "grids/cell.h"

namespace qv {

class TQvPicture;

class TQvCPicture : public TQvCell {
    QV_CLASS(TQvCPicture)
public:
    TQvCPicture();
    ~TQvCPicture() override;

    // The owned picture; null only before the cell is placed.
    TQvPicture* Picture() const { return FPicture.get(); }

    TObject* AsObject() override;
    void SetAsObject(TObject* V) override;
    void DrawValue(TQvPaintContext& Context, TRect R) override;
    void ReadFromStream(TStream& Stream) override;
    void WriteToStream(TStream& Stream) override;

protected:
    void CreateData() override;
    void FreeData();

private:
    std::unique_ptr<TQvPicture> FPicture;
};

}  // namespace qv
