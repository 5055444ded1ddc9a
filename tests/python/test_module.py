"""The Python module against the runner: equal results, replays of a
recorded drive, the runner's errors as exceptions, drives side by side in
threads, and the cut-off sweep example on a local Dask cluster."""
import concurrent.futures
import importlib
import math
import os
import subprocess
import threading
import time
import warnings
from pathlib import Path

import numpy as np
import pytest
import zt40

EXAMPLES = Path(os.environ["ZT40_EXAMPLES"])
RUNNER = os.environ["ZT40_SIM"]
BAD_SCENARIO = Path(__file__).parent.parent / "tools" / "bad.scn"


def runner_rows(scenario):
    """The runner's CSV: the header, and the rows as printed."""
    lines = subprocess.run([RUNNER, str(scenario)], check=True, capture_output=True, text=True).stdout.splitlines()
    return lines[0].split(","), [line.split(",") for line in lines[1:]]


def printed(columns, rows=None):
    """A table of arrays as the runner prints it, row by row."""
    names = list(columns)
    count = len(columns[names[0]])
    return [["%.9g" % columns[name][i] for name in names] for i in range(*(rows or (0, count)))]


@pytest.mark.parametrize("example", sorted(p.name for p in EXAMPLES.glob("*.scn")))
def test_scenarios_give_the_runners_table(example):
    header, rows = runner_rows(EXAMPLES / example)
    table = zt40.run_scenario(EXAMPLES / example)
    assert list(table) == header
    assert all(isinstance(column, np.ndarray) for column in table.values())
    assert printed(table) == rows


def scenario_lines(path):
    for line in Path(path).read_text().splitlines():
        words = line.split("#")[0].split()
        if words:
            yield words


@pytest.mark.parametrize("example", ["run_up_level.scn", "auto_speed_downhill.scn"])
def test_a_stepped_drive_gives_the_runners_rows(example):
    """The scenario's "set" and "at" lines as set() between runs; the rows
    after the last "at" line sampled and compared with the runner's."""
    drive = zt40.Drive()
    reached = 0.0
    for words in scenario_lines(EXAMPLES / example):
        if words[0] == "set":
            drive.set(words[1], float(words[2]))
        elif words[0] == "at":
            drive.run(float(words[1]) - reached)
            reached = float(words[1])
            drive.set(words[2], float(words[3]))
        elif words[0] == "run":
            duration = float(words[1])
        elif words[0] == "print":
            every, names = float(words[1]), words[2:]
    header, rows = runner_rows(EXAMPLES / example)
    table = drive.sample(names, every, duration - reached)
    assert list(table) == header == names  # simTime among them, not twice
    first = round(reached / every)
    assert printed({name: table[name] for name in names}) == rows[first:]
    assert drive.get("simTime") == table["simTime"][-1]
    assert drive.state()["simTime"] == table["simTime"][-1]
    assert drive.workshop is None


@pytest.fixture(scope="module")
def recording(tmp_path_factory):
    """A whole drive through the window's logic, recorded."""
    folder = tmp_path_factory.mktemp("Fahrten")
    made = subprocess.run([os.environ["ZT40_RECORD_DRIVE"], str(folder)], check=True, capture_output=True, text=True)
    return Path(made.stdout.strip())


def test_a_replay_gives_the_runners_rows_and_says_where_it_departs(recording, tmp_path):
    for names, every in [(None, 1.0), (["simTime", "trainSpeed", "steamChest.pressure", "reverser"], 0.25)]:
        options = [] if names is None else ["--print", str(every), *names]
        lines = subprocess.run([RUNNER, "--replay", str(recording), *options], check=True, capture_output=True,
                               text=True).stdout.splitlines()
        with warnings.catch_warnings():
            warnings.simplefilter("error")  # alike: nothing to warn of
            table = zt40.replay(recording, names=names, every=every)
        assert list(table) == lines[0].split(",")
        assert printed(table) == [line.split(",") for line in lines[1:]]
        assert len(lines) > 20
    # The first press of the reverser key made the other way: the replay
    # stops at the next checkpoint, its rows differ there, and the warning
    # names the place.
    changed = tmp_path / "changed.zt40fahrt"
    changed.write_text(recording.read_text().replace(" Taste ab 39\n", " Taste ab 37\n", 1))
    with pytest.warns(RuntimeWarning, match="die Wiedergabe weicht seit Takt"):
        departed = zt40.replay(changed, names=["reverser"], every=0.25)
    reached = len(departed["reverser"])
    assert 0 < reached < len(table["reverser"])
    assert departed["reverser"][-1] != table["reverser"][reached - 1]


def test_errors_are_the_runners_messages():
    drive = zt40.Drive()
    drive.set("trainWeight", 300)
    refusals = [
        (lambda: drive.set("nonsense", 1), ValueError, "unknown field 'nonsense'"),
        (lambda: drive.get("autoControl.nonsense"), ValueError, "unknown field 'autoControl.nonsense'"),
        (lambda: drive.sample(["trainSpeed", "bogus"], 1, 1), ValueError, "unknown field 'bogus'"),
        (lambda: drive.set("reverser", math.nan), ValueError, "bad value 'nan'"),
        (lambda: drive.set("simSpeedCode", -4), ValueError,
         "simSpeedCode -4 would stop simulated time: use -3 (1:10) to 3 (10:1)"),
        (lambda: drive.set("cylinderWallTemp", 1e300), ValueError,
         "a configuration file cannot hold cylinderWallTemp 1e+300; such a value cannot be set"),
        (lambda: drive.set("steamChest.pressure", 500000), ValueError,
         "the model's start computes steamChest.pressure afresh; such a field cannot be set"),
        (lambda: drive.run(0), ValueError, "seconds must lie between 0 and 1000000 s"),
        (lambda: drive.sample(["trainSpeed"], 0, 1), ValueError, "every must be more than 0 s"),
        (lambda: zt40.run_scenario(BAD_SCENARIO), ValueError, f"{BAD_SCENARIO}:3: unknown field 'nonsense'"),
        (lambda: zt40.run_scenario("/nonexistent.scn"), OSError, "cannot read /nonexistent.scn"),
        (lambda: zt40.Drive(config="/nonexistent.cfg"), OSError, "/nonexistent.cfg is no configuration file"),
        (lambda: zt40.Drive(config=EXAMPLES), OSError, "kann nicht gelesen werden"),
        (lambda: zt40.replay(BAD_SCENARIO), zt40.RecordingError, "lässt sich nicht lesen"),
        (lambda: zt40.replay(BAD_SCENARIO, names=["bogus"]), ValueError, "unknown field 'bogus'"),
        (lambda: zt40.replay(BAD_SCENARIO, every=-1), ValueError, "every must lie between 0 and 1000000 s"),
    ]
    for call, error, message in refusals:
        with pytest.raises(error) as raised:
            call()
        assert message in str(raised.value)
    # A refused setting leaves the drive as it was.
    assert drive.get("trainWeight") == 300
    assert drive.get("cylinderWallTemp") < 1000


def drive_figures(weight):
    drive = zt40.Drive(seed=7)
    drive.set("trainWeight", weight)
    drive.set("trackAutomatic", 0)
    drive.run(2)
    drive.set("reverser", -160)
    drive.set("pilotValve", 115)
    return drive.sample(["trainSpeed", "boilerSteam.pressure", "distance"], 2, 60)  # and simTime


def test_drives_in_two_threads_equal_drives_one_after_the_other():
    weights = (200, 400)
    alone = [drive_figures(w) for w in weights]
    with concurrent.futures.ThreadPoolExecutor(2) as pool:
        together = list(pool.map(drive_figures, weights))
    for a, b in zip(alone, together):
        assert list(a) == list(b)
        assert all(np.array_equal(a[name], b[name]) for name in a)
    assert not np.array_equal(alone[0]["trainSpeed"], alone[1]["trainSpeed"])


def test_a_running_drive_lets_other_threads_go_on():
    """Python code in another thread runs while a drive runs: the drive
    does not hold the interpreter's lock. Held, the other thread could not
    note a moment in the middle of the run."""
    drive = zt40.Drive()
    drive.set("trainWeight", 300)
    drive.set("trackAutomatic", 0)
    drive.run(2)
    drive.set("reverser", -160)
    drive.set("pilotValve", 115)
    moments, stop = [], threading.Event()

    def other():
        while not stop.is_set():
            moments.append(time.perf_counter())
            time.sleep(0.001)

    thread = threading.Thread(target=other)
    thread.start()
    start = time.perf_counter()
    drive.run(120)
    end = time.perf_counter()
    stop.set()
    thread.join()
    third = (end - start) / 3
    assert any(start + third < moment < end - third for moment in moments)


def test_the_sweep_runs_on_processes_and_on_a_dask_cluster(tmp_path, monkeypatch):
    from distributed import LocalCluster

    # The example as a module that the cluster's workers import too.
    monkeypatch.syspath_prepend(str(EXAMPLES))
    monkeypatch.setenv("PYTHONPATH", os.pathsep.join([str(EXAMPLES), os.environ.get("PYTHONPATH", "")]))
    sweep = importlib.import_module("cutoff_sweep")
    cutoffs = [20, 40]
    here = [sweep.steam_per_km(c) for c in cutoffs]
    assert here[0]["steam_per_km"] < here[1]["steam_per_km"]  # a long cut-off wastes steam
    assert all(abs(point["speed"] - 40) < 2 for point in here)
    assert sweep.sweep(cutoffs) == here
    picture = tmp_path / "sweep.png"
    with LocalCluster(n_workers=2, threads_per_worker=1, dashboard_address=None) as cluster:
        assert sweep.main(["--scheduler", cluster.scheduler_address, "--out", str(picture),
                           *map(str, cutoffs)]) == here
    assert picture.read_bytes().startswith(b"\x89PNG")
