#include "ScratchImageFile.h"

#include "FuzzChecks.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <vector>

namespace lumaquill::fuzz {

ScratchImageFile::ScratchImageFile()
{
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/lumaquill-fuzz-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    LUMAQUILL_FUZZ_CHECK(mkdtemp(name.data()) != nullptr);
    Folder = name.data();
    Path = Folder + "/input.bmp";
}

ScratchImageFile::~ScratchImageFile()
{
    std::remove(Path.c_str());
    rmdir(Folder.c_str());
}

const std::string& ScratchImageFile::Write(const uint8_t* data, size_t size)
{
    std::FILE* file = std::fopen(Path.c_str(), "wb");
    LUMAQUILL_FUZZ_CHECK(file != nullptr);
    const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
    LUMAQUILL_FUZZ_CHECK(std::fclose(file) == 0 && written);
    return Path;
}

} // namespace lumaquill::fuzz
