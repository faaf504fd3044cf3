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
// Each worker reads its next line itself, answers it, and when that answer is the next to be
// written, writes it and every ready answer after it, in order. No thread is woken to read or
// to write: on two cores those wake-ups cost more than the lines. The lines in flight are a
// ring of slots; line n (counted from 0) sits in slot n % size from its reading to its
// writing: written_ <= read_ <= written_ + slots.
class ParallelRun {
 public:
  ParallelRun(BatchInput& input, std::ostream& out, int jobs, const JsonFields& fields,
              const std::function<void()>& interruptInput)
      : input_(input),
        out_(out),
        fields_(fields),
        interruptInput_(interruptInput),
        slots_(static_cast<std::size_t>(jobs) * kLinesPerJob) {
    workers_.reserve(static_cast<std::size_t>(jobs));
  }

  // Returns false, having read nothing, when a thread cannot be started.
  bool Start(int jobs) {
    // No worker reads before every one has started.
    std::unique_lock reading(inputMutex_);
    try {
      for (int i = 0; i < jobs; ++i) workers_.emplace_back([this] { AnswerLines(); });
    } catch (const std::system_error&) {
      {
        std::lock_guard lock(mutex_);
        stopped_ = true;
      }
      reading.unlock();
      Join();
      return false;
    }
    return true;
  }

  // Waits until the input has ended or the output has failed; returns the run's exit status.
  ExitStatus Finish(std::ostream& err) {
    // A worker leaves only once no line is left to take, and the answers it leaves behind are
    // written by the worker still answering the line before them: joined, all is written.
    Join();
    if (status_ != ExitStatus::Success) return status_;
    return inputFailed_ ? InputFailed(input_, err) : ExitStatus::Success;
  }

 private:
  Slot& SlotOf(std::uint64_t line) { return slots_[line % slots_.size()]; }

  void AnswerLines() {
    for (;;) {
      std::uint64_t line = 0;
      {
        std::lock_guard reading(inputMutex_);
        if (!ReadLine(line)) return;
      }
      Slot& slot = SlotOf(line);
      slot.text.clear();
      AnswerBatchLine(slot.read, slot.line, slot.text, fields_);
      std::unique_lock lock(mutex_);
      slot.answered = true;
      if (!writing_ && NextAnswered()) WriteAnswers(lock);
    }
  }

  // Reads the next line into its slot, with the input's lock held. Returns false when there
  // is none to answer: the input has ended or failed, or the output has failed.
  bool ReadLine(std::uint64_t& line) {
    if (inputEnded_) return false;
    {
      std::unique_lock lock(mutex_);
      slotFree_.wait(lock, [this] { return stopped_ || read_ - written_ < slots_.size(); });
      if (stopped_) return false;
      line = read_;
    }
    // Only the holder of the input's lock moves read_, and the slot is free: no lock needed.
    Slot& slot = SlotOf(line);
    std::string_view text;
    const LineRead read = input_.Next(text);
    if (read == LineRead::End || read == LineRead::Failed) {
      inputEnded_ = true;
      inputFailed_ = read == LineRead::Failed;
      return false;
    }
    slot.read = read;
    slot.line.assign(text);
    std::lock_guard lock(mutex_);
    ++read_;
    return true;
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
        // Only a worker that found the ring full waits, holding the input's lock.
        if (read_ - written_ + 1 == slots_.size()) slotFree_.notify_one();
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

  // The output failed: the workers stop before their next line, and one that waits for input
  // is woken. Called with the lock held; holds it again on return.
  void Stopped(std::unique_lock<std::mutex>& lock) {
    stopped_ = true;
    status_ = ExitStatus::OutputFailed;
    lock.unlock();
    slotFree_.notify_all();
    if (interruptInput_) interruptInput_();
    lock.lock();
  }

  void Join() {
    for (std::thread& worker : workers_) worker.join();
    workers_.clear();
  }

  BatchInput& input_;
  std::ostream& out_;
  const JsonFields& fields_;
  const std::function<void()>& interruptInput_;
  std::vector<Slot> slots_;
  std::mutex inputMutex_;             // one worker reads at a time
  bool inputEnded_ = false;           // guarded by inputMutex_
  bool inputFailed_ = false;          // guarded by inputMutex_
  std::mutex mutex_;                  // guards the counts, the slots' answered flags and the rest
  std::condition_variable slotFree_;  // a worker waits for room to read
  std::uint64_t read_ = 0;
  std::uint64_t written_ = 0;
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
    // std::cin flushes std::cout before every read; with one worker reading while another
    // writes, that flush would race with the writing, so the tie is cut
    // for the run (the workers flush whenever no answer is ready anyway).
    std::ostream* const tied = in.tie(nullptr);
    const int workers = std::min(jobs, kMaxBatchJobs);
    ParallelRun run(input, out, workers, fields, interruptInput);
    const bool started = run.Start(workers);
    const ExitStatus status = started ? run.Finish(err) : ExitStatus::Success;
    in.tie(tied);
    // Without threads the lines are answered here, as with one job.
    if (started) return status;
  }
  return RunOnThisThread(input, out, err, fields);
}

}  // namespace qv::cli
