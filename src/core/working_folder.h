#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "messages.h"
#include "page_setup.h"

namespace kavlo {

constexpr const char* kDataSaveTitle = "QAP Data Save";

enum class FolderNameCheck { Empty, Usable, Refused };

// A working folder's name must stay one folder under the application folder: no separator,
// not "." or "..".
FolderNameCheck checkFolderName(std::string_view name);

// A file the save could not copy; its line in the path file keeps `source`.
struct NotCopied {
    std::string source;
    std::string why;
    friend bool operator==(const NotCopied&, const NotCopied&) = default;
};

enum class SaveResult { NothingToSave, Refused, Saved, Failed };

struct WorkingFolderSave {
    SaveResult result = SaveResult::NothingToSave;
    std::filesystem::path folder;  // the working folder, when saved
    PageSetup pathFile;            // what its Kavlo.pth holds, when saved
    std::vector<NotCopied> notCopied;
};

// Makes the working folder `name` under `appFolder`: a copy of every slot file of `setup` and a
// path file that names the copies. An existing folder of that name is first asked about (Yes:
// replace it, No: add to it, replacing files of the same names). Nothing of the existing folder
// changes until the new content is complete, so the set-up may name the folder's own files.
// A file not copied that lies inside the existing folder keeps the folder as it was: the save
// fails rather than lose it. Refusals and failures are told through `messages`, and so are the
// files not copied, in one message after the save.
WorkingFolderSave saveWorkingFolder(const PageSetup& setup, const std::filesystem::path& appFolder,
                                    std::string_view name, MessageSink& messages);

}  // namespace kavlo
