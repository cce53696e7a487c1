#pragma once
// The GDI+ objects of one paint, each released when it goes out of scope.

#include "render/gdiplus_include.h"

namespace gp = Gdiplus::DllExports;

// One GDI+ object of one paint. Objects are released in reverse order of
// their declaration, which is the release order the painters need: fonts,
// text brush, string format, font family, then the style's own objects.
template <typename T, auto Release>
class GdipObject {
public:
    GdipObject() = default;
    ~GdipObject() {
        if (object_) Release(object_);
    }
    GdipObject(const GdipObject&) = delete;
    GdipObject& operator=(const GdipObject&) = delete;

    T** out() { return &object_; }
    T* get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

private:
    T* object_ = nullptr;
};

using Pen = GdipObject<Gdiplus::GpPen, gp::GdipDeletePen>;
using SolidBrush = GdipObject<Gdiplus::GpSolidFill, gp::GdipDeleteBrush>;
using Path = GdipObject<Gdiplus::GpPath, gp::GdipDeletePath>;
using FontFamily = GdipObject<Gdiplus::GpFontFamily, gp::GdipDeleteFontFamily>;
using Font = GdipObject<Gdiplus::GpFont, gp::GdipDeleteFont>;
using StringFormat = GdipObject<Gdiplus::GpStringFormat, gp::GdipDeleteStringFormat>;
using Graphics = GdipObject<Gdiplus::GpGraphics, gp::GdipDeleteGraphics>;
