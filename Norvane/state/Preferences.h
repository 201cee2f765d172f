#pragma once

#include <memory>

#include <QObject>
#include <QSettings>
#include <QString>

namespace norvane::app {

/// The keys under which the user's preferences are stored.
namespace PreferenceKey {
inline const QString hasCompletedOnboarding = QStringLiteral("hasCompletedOnboarding");
inline const QString averageWage = QStringLiteral("averageWage");
inline const QString overhead = QStringLiteral("overhead");
inline const QString headcount = QStringLiteral("headcount");
inline const QString marketHourlyRate = QStringLiteral("marketHourlyRate");
inline const QString defaultChartRange = QStringLiteral("defaultChartRange");
inline const QString shareAnonymousMetrics = QStringLiteral("shareAnonymousMetrics");
inline const QString anonymousDeviceId = QStringLiteral("anonymousDeviceId");
inline const QString cachedContributorCount = QStringLiteral("cachedContributorCount");
inline const QString selectedMetricsTab = QStringLiteral("selectedMetricsTab");
inline const QString projectLeverageMode = QStringLiteral("project.leverageMode");
} // namespace PreferenceKey

/// The user's preferences with their defaults, over one settings store. Several windows show the
/// same values (the hourly rate, the contributor count, the leverage mode, the chart range, the
/// sharing switch), so every change goes through here and is announced once, and an open view
/// follows a change made in another at once.
class Preferences : public QObject {
    Q_OBJECT

public:
    explicit Preferences(std::shared_ptr<QSettings> settings, QObject* parent = nullptr);

    /// Makes the file of `settings` (it holds the anonymous device id) and its folder the user's
    /// alone, before anything is written there: a new file is made empty for its owner, and
    /// QSettings keeps the mode of the file it replaces.
    static void keepFilePrivate(const QSettings& settings);

    /// The store itself, for views that keep keys of their own (a section's expansion).
    QSettings& settings() { return *settings_; }

    bool hasCompletedOnboarding() const;
    void setHasCompletedOnboarding(bool completed);
    double averageWage() const;
    void setAverageWage(double wage);
    double overhead() const;
    void setOverhead(double overhead);
    int headcount() const;
    void setHeadcount(int headcount);
    double marketHourlyRate() const;
    void setMarketHourlyRate(double rate);
    /// Days of the charts' default window: 30, 90, 365 or 0 for all time.
    int defaultChartRange() const;
    void setDefaultChartRange(int days);
    bool shareAnonymousMetrics() const;
    void setShareAnonymousMetrics(bool share);
    QString anonymousDeviceId() const;
    void setAnonymousDeviceId(const QString& deviceId);
    int cachedContributorCount() const;
    void setCachedContributorCount(int count);
    QString selectedMetricsTab() const;
    void setSelectedMetricsTab(const QString& tab);
    /// "14-Day" or "Cumulative".
    QString projectLeverageMode() const;
    void setProjectLeverageMode(const QString& mode);

signals:
    /// After a value under `key` was stored with a new value.
    void changed(const QString& key);

private:
    void store(const QString& key, const QVariant& value);

    std::shared_ptr<QSettings> settings_;
};

} // namespace norvane::app
