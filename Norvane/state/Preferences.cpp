#include "Norvane/state/Preferences.h"

#include <filesystem>

#include "Norvane/LogCategories.h"
#include "core/models/AppSettings.h"
#include "platform/PrivateFiles.h"

namespace norvane::app {

void Preferences::keepFilePrivate(const QSettings& settings) {
    const std::filesystem::path file = settings.fileName().toStdString();
    try {
        platform::PrivateFiles::createFolder(file.parent_path());
        platform::PrivateFiles::tighten(file.parent_path());
        platform::PrivateFiles::tighten(file);
        platform::PrivateFiles::createFile(file);
    } catch (const std::filesystem::filesystem_error& error) {
        // The settings then fail to save as they would have anyway.
        qCWarning(stateLog) << "Cannot keep the settings private:" << error.what();
    }
}

Preferences::Preferences(std::shared_ptr<QSettings> settings, QObject* parent)
    : QObject(parent), settings_(std::move(settings)) {}

void Preferences::store(const QString& key, const QVariant& value) {
    if (settings_->contains(key) && settings_->value(key) == value) return;
    settings_->setValue(key, value);
    emit changed(key);
}

bool Preferences::hasCompletedOnboarding() const {
    return settings_->value(PreferenceKey::hasCompletedOnboarding, false).toBool();
}

void Preferences::setHasCompletedOnboarding(bool completed) { store(PreferenceKey::hasCompletedOnboarding, completed); }

double Preferences::averageWage() const {
    return settings_->value(PreferenceKey::averageWage, AppSettings::defaultAverageWage).toDouble();
}

void Preferences::setAverageWage(double wage) { store(PreferenceKey::averageWage, wage); }

double Preferences::overhead() const {
    return settings_->value(PreferenceKey::overhead, AppSettings::defaultOverhead).toDouble();
}

void Preferences::setOverhead(double overhead) { store(PreferenceKey::overhead, overhead); }

int Preferences::headcount() const { return settings_->value(PreferenceKey::headcount, 1).toInt(); }

void Preferences::setHeadcount(int headcount) { store(PreferenceKey::headcount, headcount); }

double Preferences::marketHourlyRate() const {
    return settings_->value(PreferenceKey::marketHourlyRate, 150.0).toDouble();
}

void Preferences::setMarketHourlyRate(double rate) { store(PreferenceKey::marketHourlyRate, rate); }

int Preferences::defaultChartRange() const { return settings_->value(PreferenceKey::defaultChartRange, 90).toInt(); }

void Preferences::setDefaultChartRange(int days) { store(PreferenceKey::defaultChartRange, days); }

bool Preferences::shareAnonymousMetrics() const {
    return settings_->value(PreferenceKey::shareAnonymousMetrics, false).toBool();
}

void Preferences::setShareAnonymousMetrics(bool share) { store(PreferenceKey::shareAnonymousMetrics, share); }

QString Preferences::anonymousDeviceId() const {
    return settings_->value(PreferenceKey::anonymousDeviceId, QString()).toString();
}

void Preferences::setAnonymousDeviceId(const QString& deviceId) { store(PreferenceKey::anonymousDeviceId, deviceId); }

int Preferences::cachedContributorCount() const {
    return settings_->value(PreferenceKey::cachedContributorCount, 0).toInt();
}

void Preferences::setCachedContributorCount(int count) { store(PreferenceKey::cachedContributorCount, count); }

QString Preferences::selectedMetricsTab() const {
    return settings_->value(PreferenceKey::selectedMetricsTab, QStringLiteral("Traditional")).toString();
}

void Preferences::setSelectedMetricsTab(const QString& tab) { store(PreferenceKey::selectedMetricsTab, tab); }

QString Preferences::projectLeverageMode() const {
    return settings_->value(PreferenceKey::projectLeverageMode, QStringLiteral("14-Day")).toString();
}

void Preferences::setProjectLeverageMode(const QString& mode) { store(PreferenceKey::projectLeverageMode, mode); }

} // namespace norvane::app
