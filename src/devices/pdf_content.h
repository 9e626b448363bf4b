#pragma once

#include <deque>
#include <future>
#include <string>
#include <vector>

#include "pdf_file.h"

namespace kavlo {

// A page's content as a row of streams, each compressed on another core while the next is
// drawn; only a few pieces are held at a time.
class PdfContent {
  public:
    explicit PdfContent(PdfFile& file) : file_(file) {}

    void add(std::string piece);
    // Writes the pieces still pending and returns the page's /Contents array.
    std::string finish();

  private:
    void writeOldest();

    PdfFile& file_;
    std::deque<std::future<std::string>> pending_;
    std::string streams_;
};

}  // namespace kavlo
