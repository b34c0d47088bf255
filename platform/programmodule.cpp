#include "platform/programmodule.h"

#include <cstdio>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include <dlfcn.h>
#include <unistd.h>

namespace kurvana {

namespace {

/// The folder of the running program, with a trailing slash; empty when the system won't say.
std::string ProgramFolder() {
    char path[4096];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return {};
    const std::string program(path, std::size_t(length));
    return program.substr(0, program.rfind('/') + 1);
}

/// The folders added by AddModuleFolder.
std::vector<std::string>& AddedFolders() {
    static std::vector<std::string> folders;
    return folders;
}

std::mutex& ModuleMutex() {
    static std::mutex mutex;
    return mutex;
}

void* LoadModule(const std::string& file) {
    const std::string folder = ProgramFolder();
    std::vector<std::string> candidates{folder + file,
                                        folder + KURVANA_MODULES_FROM_PROGRAM + "/" + file};
    for (const std::string& added : AddedFolders())
        candidates.push_back(added + "/" + file);
    std::string reason;
    for (const std::string& candidate : candidates) {
        if (::access(candidate.c_str(), R_OK) != 0)
            continue;
        if (void* module = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL))
            return module;
        reason = ::dlerror();
    }
    std::fprintf(stderr, "kurvana2: the module %s cannot be loaded: %s\n", file.c_str(),
                 reason.empty() ? "it is not installed" : reason.c_str());
    return nullptr;
}

} // namespace

void AddModuleFolder(const char* folder) {
    const std::lock_guard lock(ModuleMutex());
    AddedFolders().emplace_back(folder);
}

void* ProgramModuleSymbol(const char* file, const char* symbol) {
    static std::map<std::string, void*> modules; // null for one that failed to load
    const std::lock_guard lock(ModuleMutex());
    const auto [entry, first] = modules.try_emplace(file, nullptr);
    if (first)
        entry->second = LoadModule(file);
    return entry->second != nullptr ? ::dlsym(entry->second, symbol) : nullptr;
}

} // namespace kurvana
