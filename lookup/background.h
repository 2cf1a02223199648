#pragma once

#include <QEventLoop>
#include <QMetaObject>

#include <optional>
#include <thread>
#include <type_traits>

// Runs `work` on a thread of its own and returns its result. Meanwhile this
// thread goes on handling events, so windows repaint, but no user input: to the
// user the call still blocks, as a lookup should.
template <class Work> auto RunInBackground(Work work) -> std::invoke_result_t<Work>
{
    std::optional<std::invoke_result_t<Work>> result;
    QEventLoop loop;
    std::thread worker([&] {
        result.emplace(work());
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
    return std::move(*result);
}
