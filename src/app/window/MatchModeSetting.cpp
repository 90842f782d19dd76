#include "MatchModeSetting.h"

namespace {

const QString kMatchKey = "match";

}  // namespace

TMatchMode StoredMatchMode(const QSettings& settings)
{
    const std::string name = settings.value(kMatchKey).toString().toStdString();
    return MatchModeNamed(name).value_or(TMatchMode::Aligned);
}

void StoreMatchMode(QSettings& settings, TMatchMode mode)
{
    settings.setValue(kMatchKey, QString::fromLatin1(MatchModeName(mode)));
}

TMatchMode StartMatchMode(std::optional<TMatchMode> given, const QSettings& settings)
{
    return given.value_or(StoredMatchMode(settings));
}
