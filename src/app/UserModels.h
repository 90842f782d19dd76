#pragma once
// Which folder holds Models/ for a program: beside the program where Models/ lies there (the build tree),
// else, for an installed program whose shipped models lie read-only in ../share/parlanto/Models, the user's own
// folder, made from the shipped models on first use.
#include <string>

// $XDG_DATA_HOME when set to an absolute path, else $HOME/.local/share; empty when neither is known.
std::string UserDataHome();
// The folder (with a trailing '/') whose Models/ the program in programDir uses: programDir itself when it has
// Models/ or no shipped models are found; dataHome/parlanto/ for an installed program, its Models/ copied from
// the shipped ones when missing; the shipped models' own folder when that copy cannot be made.
std::string ModelsHome(const std::string& programDir, const std::string& dataHome);
// home's Models/ folder, with a trailing '/': where the phoneme and command models are loaded from and saved to.
std::string ModelsFolder(const std::string& home);
