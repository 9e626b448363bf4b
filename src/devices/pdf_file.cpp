#include "pdf_file.h"

#include <zlib.h>

#include <cstdio>

namespace kavlo {
namespace {

// Past this level the pages shrink by little and the time grows fast.
constexpr int kDeflateLevel = 4;

}  // namespace

std::string deflated(std::string_view bytes) {
    uLongf size = compressBound(static_cast<uLong>(bytes.size()));
    std::string packed(size, '\0');
    compress2(reinterpret_cast<Bytef*>(packed.data()), &size,
              reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uLong>(bytes.size()),
              kDeflateLevel);
    packed.resize(size);
    return packed;
}

std::string pdfReference(int number) {
    return std::to_string(number) + " 0 R";
}

PdfFile::PdfFile(ByteSink sink) : sink_(std::move(sink)) {
    // The binary comment tells transfer programs the file is not text.
    write("%PDF-1.4\n%\xe2\xe3\xcf\xd3\n");
}

int PdfFile::reserve() {
    offsets_.push_back(0);
    return static_cast<int>(offsets_.size());
}

void PdfFile::beginObject(int number) {
    offsets_[static_cast<std::size_t>(number - 1)] = offset_;
    write(std::to_string(number) + " 0 obj\n");
}

void PdfFile::endObject() {
    write("\nendobj\n");
}

void PdfFile::write(std::string_view bytes) {
    // After a failure the rest is dropped; the file is lost anyway.
    offset_ += bytes.size();
    failed_ = failed_ || !sink_(bytes);
}

void PdfFile::writeStream(int number, std::string_view dictionary, std::string_view packed) {
    beginObject(number);
    write("<< ");
    write(dictionary);
    write(" /Filter /FlateDecode /Length " + std::to_string(packed.size()) + " >>\nstream\n");
    write(packed);
    write("\nendstream");
    endObject();
}

bool PdfFile::finish(int root) {
    const std::uint64_t xref = offset_;
    std::string table =
        "xref\n0 " + std::to_string(offsets_.size() + 1) + "\n0000000000 65535 f \n";
    char entry[24];
    for (const std::uint64_t at : offsets_) {
        std::snprintf(entry, sizeof entry, "%010llu 00000 n \n",
                      static_cast<unsigned long long>(at));
        table += entry;
    }
    table += "trailer\n<< /Size " + std::to_string(offsets_.size() + 1) + " /Root " +
             pdfReference(root) + " >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    write(table);
    return !failed_;
}

}  // namespace kavlo
