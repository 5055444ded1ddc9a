#!/usr/bin/python3
"""The module's speed against the runner's on the same scenario: the
runner `zt40-sim`, `zt40.run_scenario` and a stepped `zt40.Drive` that
samples the scenario's columns (scenarios without keys), each the best of several runs (wall time).

    PYTHONPATH=build/python /usr/bin/python3 bench/module_speed.py build/tools/zt40-sim examples/run_up_gradient.scn
"""
import subprocess
import sys
import time

import zt40

REPEATS = 5


def best(run):
    times = []
    for _ in range(REPEATS):
        start = time.perf_counter()
        run()
        times.append(time.perf_counter() - start)
    return min(times)


def stepped(scenario):
    """The scenario's set and at lines as set() between runs, its columns
    sampled as it prints them (keys are left out)."""
    lines = [line.split("#")[0].split() for line in open(scenario, encoding="utf-8")]
    lines = [words for words in lines if words]
    duration = next(float(w[1]) for w in lines if w[0] == "run")
    every, names = next((float(w[1]), w[2:]) for w in lines if w[0] == "print")

    def run():
        drive = zt40.Drive()
        reached = 0.0
        for words in lines:
            if words[0] == "set":
                drive.set(words[1], float(words[2]))
            elif words[0] == "at":
                drive.sample(names, every, float(words[1]) - reached)
                reached = float(words[1])
                drive.set(words[2], float(words[3]))
        drive.sample(names, every, duration - reached)

    return run


def main():
    runner, scenario = sys.argv[1], sys.argv[2]
    figures = {
        "zt40-sim": best(lambda: subprocess.run([runner, scenario], check=True, stdout=subprocess.DEVNULL)),
        "zt40.run_scenario": best(lambda: zt40.run_scenario(scenario)),
    }
    if not any(line.split()[:1] == ["key"] for line in open(scenario, encoding="utf-8")):
        figures["zt40.Drive"] = best(stepped(scenario))  # a Drive presses no keys
    for name, seconds in figures.items():
        print(f"{name:20s} {seconds * 1000:8.1f} ms  {seconds / figures['zt40-sim'] * 100 - 100:+6.1f} %")


if __name__ == "__main__":
    main()
