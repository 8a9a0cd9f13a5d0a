// Files of a batch run: finding the scripts under a folder, the files each one
// names in #include, and the working directory a conversion runs in.
#pragma once

#include <string>
#include <vector>

// Every file under `folder` whose name ends in ".gel" in any letter case, at
// any depth, as paths relative to `folder` with "/" separators, sorted byte by
// byte. Links to folders are not followed.
std::vector<std::string> find_gel_files(const std::string& folder);

// One #include directive found by scan_includes.
struct IncludeDirective {
    std::string name;    // as written between the quotes or angle brackets
    bool quoted = true;  // "name" rather than <name>
    bool macro = false;  // the name is given by a macro (and `name` is empty)
};

// The #include directives of a source text: lines whose first non-blank
// character is '#', followed by "include" and a quoted or bracketed name, or
// by anything else (a macro naming the file). Directives inside block comments
// are skipped; conditions are not evaluated.
std::vector<IncludeDirective> scan_includes(const std::string& text);

// The number of ".." steps in an include name: how far above the including
// file's folder it may reach.
int levels_climbed(const std::string& name);

// Makes `directory` (which must not exist) a working directory in which the
// names relative to `source_folder` mean what they mean in `source_folder`:
// it holds a link to every entry of `source_folder`, and `levels_up` folders
// above it are mirrored the same way, so that names climbing up with ".." find
// their files too. Returns the path of the directory to run in, or "" when it
// could not be made.
std::string make_working_directory(const std::string& source_folder, int levels_up, const std::string& directory);
