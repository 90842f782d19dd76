#include "ExampleWarningText.h"

namespace {

QString WarningText(TExampleWarning warning, const QString& command)
{
    switch (warning) {
    case TExampleWarning::TooQuiet:
        return "Запись слишком тихая: говорите ближе к микрофону или прибавьте громкость записи.";
    case TExampleWarning::Clipped:
        return "Запись перегружена: звук упирается в предел, говорите тише или убавьте громкость записи.";
    case TExampleWarning::MostlyNoise:
        return "В записи почти один шум: слово едва громче фона.";
    case TExampleWarning::Different:
        break;
    }
    return "Пример совсем не похож на другие примеры команды '" + command + "'.";
}

}  // namespace

QString ExampleQuestion(const std::vector<TExampleWarning>& warnings, const QString& command)
{
    QString text;
    for (const TExampleWarning warning : warnings)
        text += WarningText(warning, command) + "\n";
    return text + "\nСохранить пример всё равно?";
}

QString ReplaceQuestion(const QString& trajectoryFile)
{
    return "Пример '" + trajectoryFile + "' уже сохранён.\n\nЗаменить его новым?";
}
