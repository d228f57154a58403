#include "exchange/xlsx_package.h"

#include <zlib.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string_view>

#include "exchange/zip_records.h"
#include "platform/exceptions.h"

namespace qv {

namespace {

using namespace zipr;

class TRewriter {
public:
    TRewriter(const std::string& File, const std::string& Shown, std::vector<TXlsxExactNumber> Fixes)
        : FFile(File), FShown(Shown), FFixes(std::move(Fixes)) {
        std::sort(FFixes.begin(), FFixes.end(), [](const TXlsxExactNumber& A, const TXlsxExactNumber& B) {
            return A.Row != B.Row ? A.Row < B.Row : A.Col < B.Col;
        });
    }

    void Run(const std::string& Member) {
        std::string zip;
        {
            std::ifstream in(FFile, std::ios::binary);
            if (!in) Fail("cannot read the package back");
            zip.assign(std::istreambuf_iterator<char>(in), {});
        }
        if (zip.size() < EndSize) Fail("the package is truncated");
        const size_t end = FindEnd(zip);
        if (end == std::string::npos) Fail("the package has no directory");
        const uint32_t count = Get(zip, end + 10, 2);
        const size_t dirAt = Get(zip, end + 16, 4);
        if (dirAt > end) Fail("the package directory is out of place");

        FOut.reset(std::fopen(FFile.c_str(), "wb"));
        if (!FOut) Fail("cannot rewrite the package");
        std::string dir;
        size_t p = dirAt;
        bool found = false;
        for (uint32_t i = 0; i < count; ++i) {
            if (p + CentralSize > end || Get(zip, p, 4) != CentralSig) Fail("a directory entry is damaged");
            const size_t entrySize = CentralSize + Get(zip, p + 28, 2) + Get(zip, p + 30, 2) + Get(zip, p + 32, 2);
            if (p + entrySize > end) Fail("a directory entry is damaged");
            std::string entry = zip.substr(p, entrySize);
            const std::string name = entry.substr(CentralSize, Get(entry, 28, 2));
            const size_t local = Get(entry, 42, 4);
            const size_t packed = Get(entry, 20, 4);
            if (local + LocalSize > dirAt || Get(zip, local, 4) != LocalSig) Fail("member " + name + " is damaged");
            const size_t dataAt = local + LocalSize + Get(zip, local + 26, 2) + Get(zip, local + 28, 2);
            // Sizes after the data (flag bit 3) are not what the library writes.
            if (dataAt + packed > dirAt || (Get(zip, local + 6, 2) & 8)) Fail("member " + name + " is damaged");
            Put(entry, 42, 4, static_cast<uint32_t>(Tell()));
            if (name == Member) {
                found = true;
                Rewrite(zip, local, dataAt, entry);
            } else {
                Write(zip.data() + local, dataAt + packed - local);
            }
            dir += entry;
            p += entrySize;
        }
        if (!found) Fail("the package has no " + Member);
        std::string tail = zip.substr(end);
        Put(tail, 12, 4, static_cast<uint32_t>(dir.size()));
        Put(tail, 16, 4, static_cast<uint32_t>(Tell()));
        Write(dir.data(), dir.size());
        Write(tail.data(), tail.size());
        if (std::fclose(FOut.release()) != 0) Fail("cannot finish the package");
    }

private:
    struct TClose {
        void operator()(FILE* F) const { std::fclose(F); }
    };

    [[noreturn]] void Fail(const std::string& Why) const {
        throw EWriteError("Cannot write \"" + FShown + "\": " + Why);
    }
    long Tell() const {
        const long t = std::ftell(FOut.get());
        // The package stays without 64-bit extensions.
        if (t < 0 || t > 0xFFFFFFFFL) Fail("the package grows past 4 GB");
        return t;
    }
    void Write(const void* Data, size_t Size) {
        if (Size && std::fwrite(Data, 1, Size, FOut.get()) != Size) Fail("the disk refused the data");
    }

    // The member at Local with its data at DataAt: a new local header (no
    // extra field), the fixed text compressed anew, then crc and sizes put
    // into the header and the directory Entry.
    void Rewrite(const std::string& Zip, size_t Local, size_t DataAt, std::string& Entry) {
        const uint32_t method = Get(Entry, 10, 2);
        if (method != 0 && method != Z_DEFLATED) Fail("the worksheet is packed in an unknown way");
        std::string header = Zip.substr(Local, LocalSize + Get(Zip, Local + 26, 2));
        Put(header, 8, 2, Z_DEFLATED);
        Put(header, 28, 2, 0);
        const long headerAt = Tell();
        Write(header.data(), header.size());

        z_stream out{};
        if (deflateInit2(&out, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
            Fail("out of memory");
        std::unique_ptr<z_stream, int (*)(z_stream*)> outGuard(&out, deflateEnd);
        uLong crc = crc32(0, nullptr, 0);
        uint64_t plain = 0, packed = 0;
        auto emit = [&](const std::string& Text, bool Last) {
            crc = crc32(crc, reinterpret_cast<const Bytef*>(Text.data()), static_cast<uInt>(Text.size()));
            plain += Text.size();
            out.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(Text.data()));
            out.avail_in = static_cast<uInt>(Text.size());
            unsigned char buf[1 << 16];
            int rc;
            do {
                out.next_out = buf;
                out.avail_out = sizeof buf;
                rc = deflate(&out, Last ? Z_FINISH : Z_NO_FLUSH);
                if (rc == Z_STREAM_ERROR) Fail("cannot compress the worksheet");
                const size_t n = sizeof buf - out.avail_out;
                Write(buf, n);
                packed += n;
            } while (out.avail_out == 0 || (Last && rc != Z_STREAM_END));
        };

        const size_t size = Get(Entry, 20, 4);
        if (method == 0) {
            Fix(Zip.substr(DataAt, size), true, emit);
        } else {
            z_stream in{};
            if (inflateInit2(&in, -MAX_WBITS) != Z_OK) Fail("out of memory");
            std::unique_ptr<z_stream, int (*)(z_stream*)> inGuard(&in, inflateEnd);
            in.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(Zip.data() + DataAt));
            in.avail_in = static_cast<uInt>(size);
            std::string chunk(1 << 16, '\0');
            int rc = Z_OK;
            while (rc != Z_STREAM_END) {
                in.next_out = reinterpret_cast<Bytef*>(chunk.data());
                in.avail_out = static_cast<uInt>(chunk.size());
                rc = inflate(&in, Z_NO_FLUSH);
                if (rc != Z_OK && rc != Z_STREAM_END) Fail("the worksheet does not unpack");
                Fix(chunk.substr(0, chunk.size() - in.avail_out), rc == Z_STREAM_END, emit);
            }
        }
        if (plain > 0xFFFFFFFFu || packed > 0xFFFFFFFFu) Fail("the worksheet grows past 4 GB");
        const long endAt = Tell();
        Put(header, 14, 4, static_cast<uint32_t>(crc));
        Put(header, 18, 4, static_cast<uint32_t>(packed));
        Put(header, 22, 4, static_cast<uint32_t>(plain));
        if (std::fseek(FOut.get(), headerAt, SEEK_SET) != 0) Fail("cannot rewrite the package");
        Write(header.data(), LocalSize);
        if (std::fseek(FOut.get(), endAt, SEEK_SET) != 0) Fail("cannot rewrite the package");
        Put(Entry, 10, 2, Z_DEFLATED);
        Put(Entry, 16, 4, static_cast<uint32_t>(crc));
        Put(Entry, 20, 4, static_cast<uint32_t>(packed));
        Put(Entry, 24, 4, static_cast<uint32_t>(plain));
    }

    // Takes the worksheet text a piece at a time and passes it on with the
    // noted cells' values replaced. The cells come in row, then column
    // order, as do the noted ones. A cell start whose reference or element
    // is not complete yet waits for the next piece.
    void Fix(const std::string& Piece, bool Last, const std::function<void(const std::string&, bool)>& Emit) {
        FPending += Piece;
        static constexpr char open[] = "<c r=\"";
        constexpr size_t openLen = sizeof open - 1;
        std::string done;
        size_t at = 0;                    // the first byte not yet passed on
        size_t from = 0;                  // where the search for the next cell goes on
        size_t keep = std::string::npos;  // where the waiting text starts
        while (FNext < FFixes.size()) {
            const size_t c = FPending.find(open, from);
            if (c == std::string::npos) {
                // A cell start may be cut off at the end.
                if (!Last) keep = std::max(from, FPending.size() - std::min(FPending.size(), openLen - 1));
                break;
            }
            const size_t quote = FPending.find('"', c + openLen);
            const size_t tagEnd = quote == std::string::npos ? quote : FPending.find('>', quote);
            if (tagEnd == std::string::npos) {
                if (!Last) keep = c;
                break;
            }
            uint32_t col = 0, row = 0;
            size_t i = c + openLen;
            while (i < quote && FPending[i] >= 'A' && FPending[i] <= 'Z') col = col * 26 + (FPending[i++] - 'A' + 1);
            while (i < quote && FPending[i] >= '0' && FPending[i] <= '9') row = row * 10 + (FPending[i++] - '0');
            from = tagEnd;
            if (col == 0 || row == 0) continue;
            --col;
            --row;
            auto before = [&](const TXlsxExactNumber& F) { return F.Row != row ? F.Row < row : F.Col < col; };
            while (FNext < FFixes.size() && before(FFixes[FNext])) ++FNext;
            if (FNext == FFixes.size() || FFixes[FNext].Row != row || FFixes[FNext].Col != col) continue;
            // A noted cell is a plain number cell (no type): its value.
            if (FPending[tagEnd - 1] == '/' ||
                std::string_view(FPending).substr(c, tagEnd - c).find(" t=\"") != std::string_view::npos) {
                ++FNext;
                continue;
            }
            const size_t v = FPending.find("<v>", tagEnd);
            const size_t vEnd = v == std::string::npos ? v : FPending.find("</v>", v);
            if (vEnd == std::string::npos) {
                if (!Last) keep = c;
                break;
            }
            char buf[32];
            const auto r = std::to_chars(buf, buf + sizeof buf, FFixes[FNext].Value);
            done.append(FPending, at, v + 3 - at);
            done.append(buf, r.ptr);
            at = vEnd;
            from = vEnd;
            ++FNext;
        }
        if (keep == std::string::npos) keep = FPending.size();
        done.append(FPending, at, keep - at);
        FPending.erase(0, keep);
        if (!done.empty() || Last) Emit(done, Last);
    }

    std::string FFile;
    std::string FShown;
    std::vector<TXlsxExactNumber> FFixes;
    size_t FNext = 0;
    std::string FPending;
    std::unique_ptr<FILE, TClose> FOut;
};

}  // namespace

bool LosesDigits(double V) {
    // The library's own printing, read back whatever the locale.
    char buf[32];
    const int n = std::snprintf(buf, sizeof buf, "%.16G", V);
    double back = 0;
    const auto r = std::from_chars(buf, buf + std::max(n, 0), back);
    return r.ec != std::errc() || r.ptr != buf + n || back != V;
}

void RewriteNumberCells(const std::string& File, const std::string& Shown, const std::string& Member,
                        std::vector<TXlsxExactNumber> Fixes) {
    if (Fixes.empty()) return;
    TRewriter(File, Shown, std::move(Fixes)).Run(Member);
}

}  // namespace qv
