// Compiled only into the programs that run inside the build folder (tests, benchmarks), never
// into the program that is installed: they live in subfolders of the build, away from the
// modules beside the built program, and find them in the build folder itself. The installed
// program holds no absolute path to load code from, so nobody who can write to where it was
// built can plant code in it.

#include "platform/programmodule.h"

namespace {

const bool kBuildFolderAdded = (kurvana::AddModuleFolder(KURVANA_BUILD_MODULE_FOLDER), true);

} // namespace
