#include "platform/gdi/FontEngine.h"

#include "platform/gdi/FontLocator.h"
#include "platform/gdi/GdiBackend.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

namespace platform::gdi {
namespace {

constexpr int kDefaultEmPixels = 12;
constexpr int kMaxEmPixels = 512;

int Ceil26Dot6(FT_Pos value) {
    return static_cast<int>((value + 63) >> 6);
}
int Round26Dot6(FT_Pos value) {
    return static_cast<int>((value + 32) >> 6);
}

// FreeType reads the font files through a stream of reads rather than a mapping of the file: every
// page FreeType touches in a mapped file brings the pages around it into the process's resident memory
// too, while the few tables it reads are small and the glyphs it renders are cached above it.
unsigned long ReadFont(FT_Stream stream, unsigned long offset, unsigned char* buffer, unsigned long count) {
    const int fd = static_cast<int>(stream->descriptor.value);
    unsigned long done = 0;
    while (done < count) {
        const ssize_t n = ::pread(fd, buffer + done, count - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        done += static_cast<unsigned long>(n);
    }
    return done; // a call with count 0 is a seek, which the stream's size has checked: 0 is success
}

void CloseFont(FT_Stream stream) {
    ::close(static_cast<int>(stream->descriptor.value));
}

// Opens the face of `path` read through `stream`, which must outlive the face.
bool OpenFace(FT_Library library, const std::string& path, FT_StreamRec* stream, FT_Face* face) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0) {
        if (fd >= 0) {
            ::close(fd);
        }
        return false;
    }
    *stream = FT_StreamRec{};
    stream->size = static_cast<unsigned long>(info.st_size);
    stream->descriptor.value = fd;
    stream->read = ReadFont;
    stream->close = CloseFont; // FreeType closes the stream with the face, or when the face fails to open
    FT_Open_Args args{};
    args.flags = FT_OPEN_STREAM;
    args.stream = stream;
    return FT_Open_Face(library, &args, 0, face) == 0;
}

} // namespace

struct FontEngine::Impl {
    FT_Library library = nullptr;
    FT_Face faces[2] = {nullptr, nullptr}; // regular, bold
    FT_StreamRec streams[2] = {};          // the faces' files

    // Makes `face` current at `emPixels`; call with the engine's mutex held.
    FT_Face use(int face, int emPixels) const {
        FT_Set_Pixel_Sizes(faces[face], 0, static_cast<FT_UInt>(emPixels));
        return faces[face];
    }

    int lineHeight(int face, int emPixels) const {
        const FT_Size_Metrics& m = use(face, emPixels)->size->metrics;
        return Ceil26Dot6(m.ascender) + Ceil26Dot6(-m.descender);
    }
};

FontEngine::FontEngine() : impl_(std::make_unique<Impl>()) {
    const FontFiles files = LocateDejaVuSans();
    if (FT_Init_FreeType(&impl_->library) != 0) {
        throw std::runtime_error("Lullwatch: FreeType could not be initialised");
    }
    const std::string* paths[2] = {&files.regular, &files.bold};
    for (int i = 0; i < 2; ++i) {
        if (!OpenFace(impl_->library, *paths[i], &impl_->streams[i], &impl_->faces[i])) {
            for (FT_Face face : impl_->faces) {
                if (face != nullptr) {
                    FT_Done_Face(face);
                }
            }
            FT_Done_FreeType(impl_->library);
            throw std::runtime_error("Lullwatch: the font " + *paths[i] +
                                     " could not be read. Reinstall the Debian package fonts-dejavu-core.");
        }
    }
}

FontEngine& FontEngine::Instance() {
    // Never destroyed: window threads may still draw text while the process ends.
    static FontEngine* const engine = new FontEngine();
    return *engine;
}

FontSize& FontEngine::size(bool bold, LONG logicalHeight) {
    std::lock_guard lock(mutex_);
    const int face = bold ? 1 : 0;
    int em = kDefaultEmPixels;
    if (logicalHeight < 0) {
        em = -static_cast<int>(std::max<LONG>(logicalHeight, -kMaxEmPixels));
    } else if (logicalHeight > 0) {
        // A line height: the largest size whose line is no taller, as the device picks a font.
        const int wanted = static_cast<int>(std::min<LONG>(logicalHeight, kMaxEmPixels));
        const FT_Face f = impl_->faces[face];
        em = static_cast<int>(wanted * f->units_per_EM / (f->ascender - f->descender));
        while (em > 1 && impl_->lineHeight(face, em) > wanted) {
            --em;
        }
        while (em < kMaxEmPixels && impl_->lineHeight(face, em + 1) <= wanted) {
            ++em;
        }
    }
    em = std::clamp(em, 1, kMaxEmPixels);
    auto& slot = sizes_[{face, em}];
    if (!slot) {
        slot = std::make_unique<FontSize>(*this, face, em);
    }
    return *slot;
}

// Called with the engine's mutex held (from FontEngine::size).
FontSize::FontSize(FontEngine& engine, int face, int emPixels)
    : engine_(engine), face_(face), emPixels_(emPixels) {
    const FT_Face f = engine_.impl_->use(face_, emPixels_);
    const FT_Size_Metrics& m = f->size->metrics;
    metrics_.emPixels = emPixels_;
    metrics_.ascent = Ceil26Dot6(m.ascender);
    metrics_.descent = Ceil26Dot6(-m.descender);
    metrics_.height = metrics_.ascent + metrics_.descent;
    metrics_.maxWidth = Ceil26Dot6(m.max_advance);
    if (FT_Load_Char(f, 'x', FT_LOAD_DEFAULT) == 0) {
        metrics_.averageWidth = Round26Dot6(f->glyph->advance.x);
    }
}

const Glyph& FontSize::glyph(wchar_t ch) {
    std::lock_guard lock(engine_.mutex_);
    const auto found = glyphs_.find(ch);
    if (found != glyphs_.end()) {
        return found->second;
    }
    Glyph& glyph = glyphs_[ch];
    if (ch < 0x20 || ch == 0x7F) {
        return glyph;
    }
    const FT_Face f = engine_.impl_->use(face_, emPixels_);
    if (FT_Load_Char(f, static_cast<FT_ULong>(ch), FT_LOAD_RENDER) != 0) {
        return glyph;
    }
    const FT_GlyphSlot slot = f->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    glyph.advance = Round26Dot6(slot->advance.x);
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY && bitmap.buffer != nullptr) {
        glyph.width = static_cast<int>(bitmap.width);
        glyph.rows = static_cast<int>(bitmap.rows);
        glyph.coverage.resize(static_cast<std::size_t>(glyph.width) * glyph.rows);
        for (int y = 0; y < glyph.rows; ++y) {
            const unsigned char* row = bitmap.buffer + static_cast<std::ptrdiff_t>(y) * bitmap.pitch;
            std::copy(row, row + glyph.width,
                      glyph.coverage.begin() + static_cast<std::ptrdiff_t>(y) * glyph.width);
        }
    }
    return glyph;
}

} // namespace platform::gdi

void platform::gdi::LoadFonts() {
    platform::gdi::FontEngine::Instance();
}
