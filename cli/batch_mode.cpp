#include "cli/batch_mode.h"

#include <fmt/format.h>

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

#include "cli/batch_line.h"
#include "cli/exit_status.h"

namespace qv::cli {

namespace {

// Lines in flight per worker: enough that a slow design at the head of the output does not
// leave the others idle, few enough that memory stays a few answers per job.
constexpr std::size_t kLinesPerJob = 4;

constexpr std::string_view kInputFailed = "Standard input cannot be read";

ExitStatus InputFailed(const BatchInput& input, std::ostream& err) {
  err << kInputFailed;
  if (!input.failure().empty()) err << ": " << input.failure();
  err << '\n';
  return ExitStatus::Refused;
}

bool Write(std::ostream& out, const fmt::memory_buffer& text) {
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  return static_cast<bool>(out);
}

ExitStatus RunOnThisThread(BatchInput& input, std::ostream& out, std::ostream& err,
                           const JsonFields& fields) {
  fmt::memory_buffer text;
  std::string_view line;
  LineRead read = LineRead::End;
  while ((read = input.Next(line)) == LineRead::Line || read == LineRead::TooLong) {
    text.clear();
    AnswerBatchLine(read, line, text, fields);
    if (!Write(out, text) || !out.flush()) return ExitStatus::OutputFailed;
  }
  return read == LineRead::Failed ? InputFailed(input, err) : ExitStatus::Success;
}

// One line in flight: read, then answered by a worker, then written.
struct Slot {
  LineRead read = LineRead::Line;
  std::string line;
  fmt::memory_buffer text;
  bool answered = false;
};

// Lines can be answered side by side because Calculate shares no mutable state between calls:
// its one object built at start-up, the FFT plan, is only read (the plan's scratch buffer is
// written by its generic butterfly alone, which the power-of-two transform never runs), and
// each worker has a calculation of its own.
//
// The lines in flight are a ring of slots; line n (counted from 0) sits in slot n % size. This
// thread reads and the workers answer lines in the order read. The worker that answers the next
// line to be written writes it, and every answer after it that is ready, in order: no thread
// is woken to write, which on two cores cost more than the writing. Lines are read, taken and
// written in turn: written_ <= taken_ <= read_ <= written_ + slots.
class ParallelRun {
 public:
  ParallelRun(BatchInput& input, std::ostream& out, int jobs, const JsonFields& fields,
              const std::function<void()>& interruptInput)
      : input_(input),
        out_(out),
        fields_(fields),
        interruptInput_(interruptInput),
        jobs_(static_cast<std::size_t>(jobs)),
        slots_(jobs_ * kLinesPerJob) {}

  // Returns false, having read nothing, when a thread cannot be started.
  bool Start() {
    try {
      for (std::size_t i = 0; i < jobs_; ++i) workers_.emplace_back([this] { AnswerLines(); });
    } catch (const std::system_error&) {
      Stop();
      Join();
      return false;
    }
    return true;
  }

  // Reads the input to its end, or until the output fails; returns the run's exit status.
  ExitStatus Run(std::ostream& err) {
    LineRead read = LineRead::End;
    for (;;) {
      {
        std::unique_lock lock(mutex_);
        // A full ring is refilled once half of it has been written: the reader then wakes once
        // per half ring, not once per line, which on two cores costs more than the line.
        if (read_ - written_ == slots_.size()) {
          slotFree_.wait(lock, [this] { return stopped_ || read_ - written_ <= HalfRing(); });
        }
        if (stopped_) break;
      }
      // Only this thread moves read_, and the slot is free: no lock while reading.
      Slot& slot = SlotOf(read_);
      std::string_view line;
      read = input_.Next(line);
      if (read == LineRead::End || read == LineRead::Failed) break;
      slot.read = read;
      slot.line.assign(line);
      {
        std::lock_guard lock(mutex_);
        ++read_;
      }
      lineRead_.notify_one();
    }
    {
      std::lock_guard lock(mutex_);
      inputEnded_ = true;
    }
    lineRead_.notify_all();
    // A worker leaves only once no line is left to take, and the answers it leaves behind are
    // written by the worker still answering the line before them: joined, all is written.
    Join();
    if (status_ != ExitStatus::Success) return status_;
    return read == LineRead::Failed ? InputFailed(input_, err) : ExitStatus::Success;
  }

 private:
  Slot& SlotOf(std::uint64_t line) { return slots_[line % slots_.size()]; }

  void AnswerLines() {
    std::unique_lock lock(mutex_);
    for (;;) {
      lineRead_.wait(lock, [this] { return stopped_ || inputEnded_ || taken_ < read_; });
      if (stopped_ || taken_ == read_) return;
      const std::uint64_t line = taken_++;
      Slot& slot = SlotOf(line);
      lock.unlock();
      slot.text.clear();
      AnswerBatchLine(slot.read, slot.line, slot.text, fields_);
      lock.lock();
      slot.answered = true;
      if (!writing_ && NextAnswered()) WriteAnswers(lock);
    }
  }

  // Writes the answers ready in order, with the lock held on entry and on return. Nothing is
  // held back while the next answer is being made: a script that sends a line and waits for
  // its answer gets it.
  void WriteAnswers(std::unique_lock<std::mutex>& lock) {
    writing_ = true;
    while (!stopped_ && NextAnswered()) {
      do {
        Slot& slot = SlotOf(written_);
        lock.unlock();
        const bool written = Write(out_, slot.text);
        lock.lock();
        if (!written) return Stopped(lock);
        slot.answered = false;
        ++written_;
        // The reader waits only on a full ring, until half of it is free; the count in flight
        // passes that mark on its way down.
        if (read_ - written_ == HalfRing()) slotFree_.notify_one();
      } while (!stopped_ && NextAnswered());
      // Answers made during the flush are written by this loop, since their workers saw
      // writing_ and went on.
      lock.unlock();
      const bool flushed = static_cast<bool>(out_.flush());
      lock.lock();
      if (!flushed) return Stopped(lock);
    }
    writing_ = false;
  }

  bool NextAnswered() { return written_ < read_ && SlotOf(written_).answered; }

  std::uint64_t HalfRing() const { return slots_.size() / 2; }

  // The output failed: the workers and the reader stop at their next wait, and a reader that
  // waits for input is woken. Called with the lock held; holds it again on return.
  void Stopped(std::unique_lock<std::mutex>& lock) {
    stopped_ = true;
    status_ = ExitStatus::OutputFailed;
    lock.unlock();
    lineRead_.notify_all();
    slotFree_.notify_all();
    if (interruptInput_) interruptInput_();
    lock.lock();
  }

  void Stop() {
    {
      std::lock_guard lock(mutex_);
      stopped_ = true;
    }
    lineRead_.notify_all();
    slotFree_.notify_all();
  }

  void Join() {
    for (std::thread& worker : workers_) worker.join();
    workers_.clear();
  }

  BatchInput& input_;
  std::ostream& out_;
  const JsonFields& fields_;
  const std::function<void()>& interruptInput_;
  std::size_t jobs_;
  std::vector<Slot> slots_;
  std::mutex mutex_;
  std::condition_variable lineRead_;  // workers wait for a line
  std::condition_variable slotFree_;  // the reader waits for room
  std::uint64_t read_ = 0;
  std::uint64_t taken_ = 0;
  std::uint64_t written_ = 0;
  bool inputEnded_ = false;
  bool stopped_ = false;
  bool writing_ = false;  // a worker is writing answers
  ExitStatus status_ =
      ExitStatus::Success;  // ExitStatus::OutputFailed once a write or flush failed
  std::vector<std::thread> workers_;
};

}  // namespace

int DefaultBatchJobs() {
  const auto cores = static_cast<int>(std::thread::hardware_concurrency());
  return std::clamp(cores, 1, kMaxBatchJobs);
}

ExitStatus RunBatch(std::istream& in, std::ostream& out, std::ostream& err, int jobs,
                    const JsonFields& fields, const std::function<void()>& interruptInput) {
  BatchInput input(in);
  if (jobs > 1) {
    // std::cin flushes std::cout before every read; with the reader and the writing workers on
    // threads of their own that flush would race with the workers' output, so the tie is cut
    // for the run (the workers flush whenever no answer is ready anyway).
    std::ostream* const tied = in.tie(nullptr);
    ParallelRun run(input, out, std::min(jobs, kMaxBatchJobs), fields, interruptInput);
    const bool started = run.Start();
    const ExitStatus status = started ? run.Run(err) : ExitStatus::Success;
    in.tie(tied);
    // Without threads the lines are answered here, as with one job.
    if (started) return status;
  }
  return RunOnThisThread(input, out, err, fields);
}

}  // namespace qv::cli
