#include "launcher/app/cx_file.h"

#include <cstdint>

CxFile::~CxFile() = default;

bool CxFile::PutC(uint8_t byte) { return Write(&byte, 1, 1) == 1; }
