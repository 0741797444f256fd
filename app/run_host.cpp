#include "app/run_host.h"

#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>

namespace vexel {

namespace {

// The calls of the worker, handed over one at a time.
class TCallChannel {
public:
    // Worker side: waits until the starting thread has made Call.
    void Make(std::function<void()> Call) {
        std::unique_lock<std::mutex> lock(mutex_);
        call_ = std::move(Call);
        pending_ = true;
        changed_.notify_all();
        changed_.wait(lock, [this] { return !pending_; });
        if (std::exception_ptr error = std::exchange(callError_, nullptr))
            std::rethrow_exception(error);
    }

    void Finish(std::exception_ptr Error) {
        std::lock_guard<std::mutex> lock(mutex_);
        workError_ = std::move(Error);
        finished_ = true;
        changed_.notify_all();
    }

    // Starting thread: makes the calls as they come, pumping in between,
    // until the work has ended.
    void Serve(const std::function<void()>& Pump) {
        for (;;) {
            if (Pump)
                Pump();
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait_for(lock, std::chrono::milliseconds(15), [this] { return pending_ || finished_; });
            if (pending_) {
                std::function<void()> call = std::move(call_);
                lock.unlock();
                std::exception_ptr error;
                try {
                    call();
                } catch (...) {
                    error = std::current_exception();
                }
                lock.lock();
                callError_ = std::move(error);
                pending_ = false;
                changed_.notify_all();
                continue;
            }
            if (finished_)
                return;
        }
    }

    std::exception_ptr WorkError() const { return workError_; }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::function<void()> call_;
    bool pending_ = false;
    std::exception_ptr callError_;
    bool finished_ = false;
    std::exception_ptr workError_;
};

// The window's hosts as the worker sees them.
class TWorkerHost : public JobHost, public BatchHost {
public:
    TWorkerHost(TCallChannel& Channel, JobHost& Log, BatchHost& Host)
        : channel_(Channel), log_(Log), host_(Host), wantsLines_(Log.WantsLogLines()) {}

    // JobHost
    void AddLogLine(const std::string& line) override {
        channel_.Make([&] { log_.AddLogLine(line); });
    }
    bool WantsLogLines() const override { return wantsLines_; }
    void ShowErrorIndicator() override {
        channel_.Make([&] { log_.ShowErrorIndicator(); });
    }
    void SetPagePercentage(uint8_t percent) override {
        // The encoder reports far more often than the figure changes.
        if (percent == lastPercent_)
            return;
        lastPercent_ = percent;
        channel_.Make([&] { log_.SetPagePercentage(percent); });
    }
    void PageProgressUnknown() override {
        lastPercent_ = -1;
        channel_.Make([&] { log_.PageProgressUnknown(); });
    }
    // The starting thread keeps its queue running all along.
    void ProcessMessages() override {}

    // BatchHost
    void BeginRun() override {
        channel_.Make([&] { host_.BeginRun(); });
    }
    void EndRun(const RunTally& tally) override {
        channel_.Make([&] { host_.EndRun(tally); });
    }
    void ResetForRun() override {
        channel_.Make([&] { host_.ResetForRun(); });
    }
    void SetTotalPercentage(uint8_t percent) override {
        channel_.Make([&] { host_.SetTotalPercentage(percent); });
    }
    void SetPaths(const std::string& path) override {
        lastPercent_ = -1;
        channel_.Make([&] { host_.SetPaths(path); });
    }
    void AlreadyCompressed(const std::string& path) override {
        channel_.Make([&] { host_.AlreadyCompressed(path); });
    }
    bool CancelRequested() override {
        bool cancel = false;
        channel_.Make([&] { cancel = host_.CancelRequested(); });
        return cancel;
    }
    bool ContinueAfterFailure(const PageReport& report) override {
        bool goOn = false;
        channel_.Make([&] { goOn = host_.ContinueAfterFailure(report); });
        return goOn;
    }
    void PageDone(const PageReport& report) override {
        channel_.Make([&] { host_.PageDone(report); });
    }

private:
    TCallChannel& channel_;
    JobHost& log_;
    BatchHost& host_;
    const bool wantsLines_;
    int lastPercent_ = -1;
};

}  // namespace

void RunOnWorker(JobHost& Log,
                 BatchHost& Host,
                 const std::function<void()>& Pump,
                 const std::function<void(JobHost& Log, BatchHost& Host)>& Work) {
    TCallChannel channel;
    std::thread worker([&] {
        TWorkerHost host(channel, Log, Host);
        std::exception_ptr error;
        try {
            Work(host, host);
        } catch (...) {
            error = std::current_exception();
        }
        channel.Finish(std::move(error));
    });
    try {
        channel.Serve(Pump);
    } catch (...) {
        // Serve throws only from Pump; the worker still needs its calls made.
        channel.Serve(nullptr);
        worker.join();
        throw;
    }
    worker.join();
    if (std::exception_ptr error = channel.WorkError())
        std::rethrow_exception(error);
}

}  // namespace vexel
