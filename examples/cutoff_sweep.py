#!/usr/bin/python3
"""Steam per kilometre against cut-off at 40 km/h.

A 600 t train on the level is brought to 40 km/h by the automatic control,
which notches up to the cut-off of the sweep's point and holds the speed
with the regulator; over the next two minutes the steam drawn from the
boiler is summed and divided by the distance run. The points run in
parallel on this machine's processes, or on a Dask cluster when given its
scheduler's address, and are plotted into a PNG.

    PYTHONPATH=build/python /usr/bin/python3 examples/cutoff_sweep.py
    PYTHONPATH=build/python /usr/bin/python3 examples/cutoff_sweep.py --scheduler tcp://host:8786

On a cluster every worker must find the module `zt40` (PYTHONPATH or an
installed module) and, for the plot, the scheduler's machine matplotlib.
"""
import argparse
import concurrent.futures

import numpy as np

CUTOFFS = list(range(15, 65, 5))  # per cent
SPEED = 40 / 3.6                  # m/s
SETTLE = 200                      # s of simulated time to reach and settle at the speed
MEASURE = 120                     # s of simulated time measured


def steam_per_km(cutoff, seed=1):
    """One point of the sweep: the cut-off in per cent, the mean speed in
    km/h and the steam drawn from the boiler in kg per km."""
    import zt40  # here, so that a cluster's workers import it themselves

    drive = zt40.Drive(seed=seed)
    for name, value in [("trainWeight", 600), ("trackAutomatic", 0), ("gradient", 0),
                        ("cylinderWallTemp", 400),  # cylinders warmed through
                        ("autoControl.controlOn", 1), ("autoControl.speedMode", 1),
                        ("autoControl.targetSpeed", SPEED),
                        ("autoControl.targetPower", 3.1666667),  # kg/s, the boiler's 57 kg/m²h
                        ("autoControl.minCutoff", 2 * cutoff)]:  # half-per-cent steps
        drive.set(name, value)
    drive.run(SETTLE)
    run = drive.sample(["trainSpeed", "boilerSteamDraw", "distance"], 1, MEASURE)
    steam = np.trapz(run["boilerSteamDraw"], run["simTime"])  # kg
    km = (run["distance"][-1] - run["distance"][0]) / 1000
    return {"cutoff": cutoff, "speed": float(np.mean(run["trainSpeed"]) * 3.6),
            "steam_per_km": float(steam / km)}


def sweep(cutoffs, scheduler=None):
    """The points in parallel: on a Dask cluster given its scheduler's
    address, else on this machine's processes."""
    if scheduler:
        from distributed import Client

        with Client(scheduler) as client:
            return client.gather(client.map(steam_per_km, cutoffs))
    with concurrent.futures.ProcessPoolExecutor() as pool:
        return list(pool.map(steam_per_km, cutoffs))


def plot(points, path):
    import matplotlib

    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    figure, axes = plt.subplots(figsize=(6.4, 4.0), dpi=100)
    axes.plot([p["cutoff"] for p in points], [p["steam_per_km"] for p in points], "o-")
    axes.set_xlabel("Füllung (%)")
    axes.set_ylabel("Dampf je km (kg)")
    axes.set_title("600 t in der Ebene bei 40 km/h")
    axes.grid(True)
    figure.tight_layout()
    figure.savefig(path, metadata={"Software": None})
    plt.close(figure)


def main(arguments=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("cutoffs", nargs="*", type=int, default=CUTOFFS, help="cut-offs in per cent")
    parser.add_argument("--scheduler", help="address of a Dask scheduler, e.g. tcp://host:8786")
    parser.add_argument("--out", default="cutoff_sweep.png", help="the picture to write")
    options = parser.parse_args(arguments)
    points = sweep(options.cutoffs, options.scheduler)
    for point in points:
        print(f"{point['cutoff']:3d} %  {point['speed']:5.1f} km/h  {point['steam_per_km']:6.1f} kg/km")
    plot(points, options.out)
    return points


if __name__ == "__main__":
    main()
