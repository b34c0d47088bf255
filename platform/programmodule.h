#pragma once

namespace kurvana {

/// The address of `symbol` in the program module `file` (such as "kurvana2-pdf.so"), loading
/// the module the first time it is asked for. Null when the module cannot be found or loaded;
/// the loader's reason then goes to the standard error, once per module.
///
/// Why modules: the libraries behind PDF pages and label reading (Poppler and Tesseract, with
/// the network and cryptography libraries they bring) double the number of libraries the
/// dynamic linker must load and resolve before the program's first line runs. Loaded when
/// first needed, they cost nothing to a start that does not use them.
///
/// A module is looked for beside the program (the built program sits beside its modules in
/// the build folder), then where an installation puts it relative to the program, then in the
/// folders added with AddModuleFolder. It stays loaded until the program ends.
void* ProgramModuleSymbol(const char* file, const char* symbol);

/// One more folder to look for modules in, last. Only the programs that run inside the build
/// folder (tests, benchmarks: platform/buildtree/) add one; the installed program loads code
/// from its own installed places alone.
void AddModuleFolder(const char* folder);

} // namespace kurvana
