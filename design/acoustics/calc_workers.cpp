#include "design/acoustics/calc_workers.h"

unsigned WorkerThreadCount(const CalcExecution& execution) {
  if (execution.threads > 0) return execution.threads;
  return std::max(std::thread::hardware_concurrency(), 1u);
}
