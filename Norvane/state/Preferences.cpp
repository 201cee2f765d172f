#include "Norvane/state/Preferences.h"

#include "core/models/AppSettings.h"

namespace norvane::app {

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
