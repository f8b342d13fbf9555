#include "PartFile.h"

// The PDF writer of the documents layer is not part of this build yet.
std::unique_ptr<PartFile> MakePdfPartFile() { return nullptr; }
