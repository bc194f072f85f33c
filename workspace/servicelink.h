// SPDX-License-Identifier: GPL-3.0-or-later
// The shared compile service as a controller of the workspace asks it: the
// service ready for a request, started (for the folder of the source asked
// about) when it is not running, unless the first compilation is to start it;
// and connected, once for each service, to the controller that hears its
// answers.
#pragma once
#include <QPointer>
#include <QString>

#include <functional>

class CompileService;
class QObject;

class ServiceLink {
public:
    // `owner` owns the service when it is started here; `connect` joins a
    // service's signals to the controller.
    ServiceLink(QObject* owner, std::function<void(CompileService*)> connect);

    // The service when it is ready; else null, and, when `start`, it is
    // started (for `dir`) when it is not running.
    CompileService* ready(const QString& dir, bool start = true);
    // The service whose answers come to the controller; null before the first.
    CompileService* connected() const;

private:
    QObject* owner_;
    std::function<void(CompileService*)> connect_;
    QPointer<CompileService> connected_;
};
