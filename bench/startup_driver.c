/* Runs two programs alternately, each from the same input file into an
   output file, and prints the median wall time of each, their ratio, and
   the peak resident memory of one run of the first. */
#define _GNU_SOURCE
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

enum { Runs = 500 };

static double RunOnce(const char* program, const char* input, const char* output, long* peakKilobytes) {
  struct timespec start, end;
  clock_gettime(CLOCK_MONOTONIC, &start);
  pid_t child = fork();
  if (child == 0) {
    dup2(open(input, O_RDONLY), 0);
    dup2(open(output, O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
    execl(program, program, (char*)NULL);
    _exit(127);
  }
  int status = 0;
  struct rusage usage;
  wait4(child, &status, 0, &usage);
  clock_gettime(CLOCK_MONOTONIC, &end);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    fprintf(stderr, "%s failed\n", program);
    exit(1);
  }
  *peakKilobytes = usage.ru_maxrss;
  return (double)(end.tv_sec - start.tv_sec) * 1e6 + (double)(end.tv_nsec - start.tv_nsec) / 1e3;
}

static int Compare(const void* a, const void* b) {
  const double x = *(const double*)a, y = *(const double*)b;
  return (x > y) - (x < y);
}

static double Median(double* values) {
  qsort(values, Runs, sizeof *values, Compare);
  return (values[Runs / 2 - 1] + values[Runs / 2]) / 2;
}

int main(int argc, char** argv) {
  if (argc != 5) {
    fprintf(stderr, "usage: %s PROGRAM BASELINE INPUT OUTPUT\n", argv[0]);
    return 2;
  }
  static double program[Runs], baseline[Runs];
  long peak = 0, baselinePeak = 0;
  for (int i = 0; i < Runs; ++i) {
    program[i] = RunOnce(argv[1], argv[3], argv[4], &peak);
    baseline[i] = RunOnce(argv[2], argv[3], argv[4], &baselinePeak);
  }
  const double programMedian = Median(program), baselineMedian = Median(baseline);
  printf("start-up, median of %d runs: angleconv %.1f us, minimal C program %.1f us, ratio %.2f (goal <= 1.2)\n",
         Runs, programMedian, baselineMedian, programMedian / baselineMedian);
  printf("peak resident memory of one run: angleconv %ld KiB, minimal C program %ld KiB (goal <= 1024 KiB)\n",
         peak, baselinePeak);
  return 0;
}
