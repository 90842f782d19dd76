#pragma once
// The window's words for what may be wrong with an example about to be saved (ExampleCheck.h), and for an
// example that would replace an earlier one.
#include <QString>
#include <vector>

#include "ExampleCheck.h"

// One line per warning, then the question whether to save all the same.
QString ExampleQuestion(const std::vector<TExampleWarning>& warnings, const QString& command);

// Whether to replace the earlier example saved under this trajectory file name.
QString ReplaceQuestion(const QString& trajectoryFile);
