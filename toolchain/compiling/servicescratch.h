// SPDX-License-Identifier: GPL-3.0-or-later
// A private directory for the temporary files of one compile service (what
// its JVM prints as it starts, its warm-up's sources and classes), inside
// Brewpad's own 0700 directory (platform/host.h), named after Brewpad's
// process: "service-<pid>-XXXXXX". It goes with this object; the ones left by
// a Brewpad that did not end normally are removed when a new one is made.
#pragma once
#include <QString>

#include <memory>

class QTemporaryDir;

class ServiceScratch {
public:
    ServiceScratch();
    ~ServiceScratch();
    ServiceScratch(const ServiceScratch&) = delete;
    ServiceScratch& operator=(const ServiceScratch&) = delete;

    bool isValid() const;
    QString path() const;

    // Removes the directories of processes that no longer run in `parent`.
    static void removeLeftOvers(const QString& parent);

private:
    std::unique_ptr<QTemporaryDir> dir_;
};
