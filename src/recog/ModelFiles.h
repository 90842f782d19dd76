#pragma once
// File access for the model folders. Model sets are written on Windows: their paths use "\" and ignore letter
// case, and their text files are single-byte lines. These helpers make such sets load on a case-sensitive
// file system and give every caller the same listing order, line rules and number parsing.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "SovoError.h"

// Maps a path written with "\" or "/" to the file system: each component is looked up in its directory, the
// exact name first, then ignoring ASCII case (the first such entry in byte order). From the first component
// that matches nothing, the rest stays as written, so that opening it fails as it should.
std::string ResolveModelPath(const std::string& path);

// ResolveModelPath for many paths of one folder: a directory listed to find a name written in another letter
// case (as descriptions written in upper case name every trajectory) is listed once, not once per name. It
// remembers what each directory held when it was first listed, so one serves one loading of a folder.
class TModelPathResolver {
public:
    std::string Resolve(const std::string& path);

private:
    std::optional<std::string> FindEntry(const std::string& directory, const std::string& component);

    // Per listed directory: each name upper-cased, with the first entry in byte order that has it.
    std::map<std::string, std::map<std::string, std::string>> listings_;
};

// Whether a path named inside a model file stays in that file's folder: relative, without a drive, and never
// climbing above its start with "..". Model folders are shared; one must not make the program read files
// anywhere else (..\..\etc\passwd, /dev/..., C:\...).
bool StaysInModelFolder(const std::string& path);

// The part of fileName up to and including its last "\" or "/" (empty without one), and the part after it.
std::string DirectoryPart(const std::string& fileName);
std::string NamePart(const std::string& fileName);

// The entries matching the pattern dir + "*." + ext that are not directories, each as dir + entry name, sorted
// by entry name in byte order. The extension and a name prefix left in dir after its last separator match
// ignoring ASCII case. A missing directory lists nothing.
std::vector<std::string> ListModelFiles(const std::string& dir, const std::string& ext);

// Up to maxBytes from the start of a regular file; nullopt when it cannot be opened. Directories, FIFOs and
// devices count as not openable, so that none of them can block. A read failing midway ends the data there.
std::optional<std::vector<uint8_t>> ReadFileBytes(const std::string& fileName,
                                                  size_t maxBytes = std::numeric_limits<size_t>::max());

// ReadFileBytes for a file whose first headerBytes say how long it is: lengthOf gets them and gives the whole
// length to read, or nullopt to read no further. The file is opened once, so what is read all belongs to it.
using TFileLength = std::function<std::optional<size_t>(const std::vector<uint8_t>& header)>;
std::optional<std::vector<uint8_t>> ReadSelfSizedFile(const std::string& fileName, size_t headerBytes,
                                                      const TFileLength& lengthOf);

enum class TLetterCase { Keep, Upper };

// The significant lines of a model text file: split at LF, stripped of leading and trailing codes 0..32, with
// every space removed (and ASCII letters upper-cased on request); blank lines and ";" comments are dropped.
// A file that cannot be opened raises CannotOpenError, one longer than any description could be ReadError.
std::vector<std::string> ReadModelLines(const std::string& fileName, TLetterCase letterCase);
// The same lines of a text already read.
std::vector<std::string> ModelLines(const std::vector<uint8_t>& text, TLetterCase letterCase);

// Blanks are the codes 0..32, trimmed from both ends of every model-file line and typed name.
bool IsBlank(char c);
std::string_view TrimBlanks(std::string_view text);
// text with the ASCII letters a..z upper-cased; other bytes (UTF-8 included) unchanged.
std::string UpperAscii(std::string text);

// Whether line starts with key, ASCII letters compared without case; value receives the rest of the line.
bool TakeKey(const std::string& line, std::string_view key, std::string& value);

// A decimal 32-bit integer with an optional sign, whatever the locale; anything else raises
// "'value' is not a valid integer value".
int32_t ParseModelInteger(const std::string& value);

enum class TWriteResult { Written, NotCreated, ShortWrite };

// Replaces fileName (a file, a link, or nothing yet) by a file holding bytes. The bytes go to a new file in the
// same folder first, so a failure leaves any old file as it was and no partial file behind. Anything else at
// that name (a directory, a FIFO, a device) means NotCreated.
TWriteResult RewriteFile(const std::string& fileName, const std::vector<uint8_t>& bytes);
// RewriteFile that raises "Ошибка создания файла '…'" or "Ошибка записи в файл '…'" when it fails.
void WriteModelFile(const std::string& fileName, const std::vector<uint8_t>& bytes);
// The same for a file that gets exactly the name given, even where another differing only in letter case exists.
void WriteNewModelFile(const std::string& fileName, const std::vector<uint8_t>& bytes);

ESovoError CannotOpenError(const std::string& fileName);
ESovoError ReadError(const std::string& fileName);
ESovoError CreateError(const std::string& fileName);
ESovoError UnknownLineError(const std::string& line, const std::string& fileName);
