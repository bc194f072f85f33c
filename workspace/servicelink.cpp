// SPDX-License-Identifier: GPL-3.0-or-later
#include "workspace/servicelink.h"

#include "toolchain/compiling/compileservice.h"
#include "toolchain/compiling/javacrunner.h"

ServiceLink::ServiceLink(QObject* owner, std::function<void(CompileService*)> connect)
    : owner_(owner), connect_(std::move(connect))
{
}

CompileService* ServiceLink::ready(const QString& dir, bool start)
{
    CompileService* s = sharedCompileService();
    if (start && (!s || s->state() == CompileService::State::Stopped)) {
        if (compileServiceHeldUntilCompile())
            return nullptr;  // the first compilation starts it
        startCompileService(owner_, dir);
        s = sharedCompileService();
    }
    if (s && connected_ != s) {
        connected_ = s;
        connect_(s);
    }
    return s && s->state() == CompileService::State::Ready ? s : nullptr;
}

CompileService* ServiceLink::connected() const
{
    return connected_;
}
