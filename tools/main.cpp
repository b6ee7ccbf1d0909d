// pak: list, extract, create, verify and resolve the game's .pak files.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <string>
#include <vector>

#include "archive/oc_archive.h"
#include "platform/platform.h"
#include "tools/commands.h"

namespace {

using namespace paktool;

constexpr const char* kVersionText = "pak 1.0.0";

void AddQuiet(CLI::App& command, bool& quiet) {
  command.add_flag("-q,--quiet", quiet, "No progress bar and no informational messages (errors still show)");
  command.footer(kExitCodeHelp);
}

void AddJobs(CLI::App& command, unsigned& jobs) {
  command.add_option("-j,--jobs", jobs, "Worker threads (default: one per core when there are many entries)");
}

int Run(int argc, char** argv) {
  CLI::App app("Lists, extracts, creates and checks the game's .pak files, and resolves names as the game does.",
               "pak");
  app.require_subcommand(1);
  app.set_version_flag("--version", kVersionText);
  app.footer(std::string(kExitCodeHelp) + "\nRun 'pak COMMAND --help' for the options of a command.");
  bool quiet = false;
  int result = kExitOk;

  ListOptions list;
  CLI::App* listCommand = app.add_subcommand("list", "Show a pak's header and its entries in index order");
  listCommand->add_option("PAK", list.pak, "The pak file")->required();
  listCommand->add_flag("--json", list.json, "One JSON document on stdout");
  AddQuiet(*listCommand, quiet);
  listCommand->callback([&] { result = RunList(list, Console(quiet)); });

  ExtractOptions extract;
  CLI::App* extractCommand =
      app.add_subcommand("extract",
                         "Write entries as files below DIR, deciphered and inflated as the game reads them. "
                         "Without PATTERN every entry is written, with a manifest for 'create --manifest' "
                         "(DIR/.pak-manifest.json unless --manifest FILE). PATTERN: * any characters, ? one, "
                         "letters in either case, '/' or '\\' as separator.");
  extractCommand->add_option("PAK", extract.pak, "The pak file")->required();
  extractCommand->add_option("PATTERN", extract.patterns, "Extract only the entries matching one of these");
  extractCommand->add_option("-o,--output", extract.directory, "Directory to write into (default: the current one)");
  extractCommand->add_flag("--overwrite", extract.overwrite, "Replace files that exist");
  extractCommand->add_option("--manifest", extract.manifest, "Write the manifest to FILE");
  extractCommand->add_flag("--no-manifest", extract.noManifest, "Write no manifest");
  AddJobs(*extractCommand, extract.jobs);
  AddQuiet(*extractCommand, quiet);
  extractCommand->callback([&] { result = RunExtract(extract, Console(quiet)); });

  CreateOptions create;
  bool pack = false;
  bool store = false;
  CLI::App* createCommand =
      app.add_subcommand("create",
                         "Make a pak from files and directories (named relative to -C DIR, '\\' between components, "
                         "sorted so that no entry hides another), or rebuild one from an extraction's manifest. "
                         "The pak is written beside OUT and renamed into place only when complete.");
  createCommand->add_option("OUT", create.output, "The pak to write")->required();
  createCommand->add_option("PATH", create.paths, "Files and directories to pack");
  createCommand->add_option("--format", create.version, "Pak version, 0 to 4")->check(CLI::Range(0, 4));
  createCommand->add_option("--key", create.keyText, "Key text of versions 2 to 4");
  createCommand->add_option("--size-key", create.sizeKey, "sizeKey of versions 2 to 4 (default 0)");
  CLI::Option* packOption = createCommand->add_flag("--pack", pack, "Pack every entry");
  createCommand->add_flag("--store", store, "Pack no entry (default: pack an entry when that makes it smaller)")
      ->excludes(packOption);
  createCommand->add_option("--level", create.level, "zlib level, 0 to 9 (default: zlib's, 6)")
      ->check(CLI::Range(0, 9));
  createCommand->add_option("-C,--directory", create.directory,
                            "Directory the PATHs are relative to (with --manifest: where its files are)");
  createCommand->add_option("--manifest", create.manifest, "Rebuild from a manifest written by extract");
  AddJobs(*createCommand, create.jobs);
  AddQuiet(*createCommand, quiet);
  createCommand->callback([&] {
    create.packing = pack ? Packing::Pack : store ? Packing::Store : Packing::Auto;
    result = RunCreate(create, Console(quiet));
  });

  VerifyOptions verify;
  CLI::App* verifyCommand =
      app.add_subcommand("verify", "Check header, index and entries of each pak; one line per problem on stdout");
  verifyCommand->add_option("PAK", verify.paks, "Pak files")->required();
  AddQuiet(*verifyCommand, quiet);
  verifyCommand->callback([&] { result = RunVerify(verify, Console(quiet)); });

  ResolveOptions cat;
  CLI::App* catCommand =
      app.add_subcommand("cat", "Write the bytes the game reads for NAME to stdout (loose file first, then the paks)");
  catCommand->add_option("NAME", cat.name, "Name as the game asks for it, e.g. script\\product.ini")->required();
  catCommand->add_option("-C,--directory", cat.directory, "The game's directory (default: the current one)");
  AddQuiet(*catCommand, quiet);
  catCommand->callback([&] { result = RunCat(cat, Console(quiet)); });

  ResolveOptions locate;
  CLI::App* locateCommand =
      app.add_subcommand("locate", "Say where the game finds NAME, and which loose files and pak entries it shadows");
  locateCommand->add_option("NAME", locate.name, "Name as the game asks for it")->required();
  locateCommand->add_option("-C,--directory", locate.directory, "The game's directory (default: the current one)");
  AddQuiet(*locateCommand, quiet);
  locateCommand->callback([&] { result = RunLocate(locate, Console(quiet)); });

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    const int code = app.exit(error);
    return code == 0 ? kExitOk : kExitUnusable;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "pak: %s\n", error.what());
    return kExitUnusable;
  }
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> arguments = platform::CommandLineArguments(argc, argv);
  std::vector<char*> pointers;
  for (std::string& argument : arguments) pointers.push_back(argument.data());
  pointers.push_back(nullptr);
  // The tool never shows the archive's file-error dialog.
  OCArchive::quietReadFailures = true;
  return Run(static_cast<int>(arguments.size()), pointers.data());
}
