#pragma once
// Where the shipped models live and how a model folder is loaded into a recognizer.
#include <string>

class TSovoObject;

// The program's own directory (of the running executable), with a trailing '/'.
std::string ProgramDirectory();
// The phoneme and command models used when no other folder is named: "Models/" beside the program, or the
// user's own for an installed program (see ModelsHome).
std::string DefaultModelsDirectory();
// Loads the phoneme models (*.phm), then the command models (*.vcm) of one folder.
void LoadModelSet(TSovoObject& sovo, const std::string& modelsDir);
// As LoadModelSet, but command descriptions that do not load are left out and the others serve: returns the
// message that names every one left out, or nothing when all loaded.
std::string LoadModelSetLeavingOutBroken(TSovoObject& sovo, const std::string& modelsDir);
