#!/usr/bin/env python3
"""Rates many images on a Dask cluster and prints focusrank's CSV rows.

    dask_rate.py [--scheduler ADDRESS | --workers N] PATH...

Folders among the paths are searched for images as focusrank searches them.
Each worker process calls focusrate.rate on its share of the files; the rows
come back in input order, every figure written as focusrank writes it, so
the output equals `focusrank --jobs 1 --figures F,... PATH...` with F,...
the names of focusrate.Figures. Exits with 1, as focusrank does, when a row
is not 'ok'. Without --scheduler a LocalCluster of N worker processes runs on
this machine; with it, every worker needs the focusrate module and the files
under the same path.
"""
import argparse
import csv
import math
import struct
import sys

import dask.bag
from dask.distributed import Client, LocalCluster

import focusrate


def figure_text(value):
    """A figure as focusrank writes it: narrowed to float, six significant
    digits; empty when missing or not finite."""
    if value is None or not math.isfinite(value):
        return ""
    narrowed = struct.unpack("f", struct.pack("f", value))[0]
    return "" if math.isinf(narrowed) else "%g" % narrowed


def write_csv(rows, out):
    """Writes the header and one CSV line per focusrate.Row to out."""
    writer = csv.writer(out, lineterminator="\n")
    names = focusrate.Figures._fields
    writer.writerow(("path",) + names + ("status",))
    for row in rows:
        writer.writerow([row.path] + [figure_text(getattr(row, n)) for n in names] + [row.status])


def rate_all(paths, client):
    """Rates every path on the client's cluster; the rows in input order."""
    parts = max(1, min(len(paths), 4 * len(client.nthreads())))
    return dask.bag.from_sequence(paths, npartitions=parts).map(focusrate.rate).compute()


def main():
    """Parses the command line, starts or joins the cluster, prints the rows;
    the exit status says whether every row is 'ok'."""
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("paths", nargs="+")
    parser.add_argument("--scheduler", help="address of a running Dask scheduler")
    parser.add_argument("--workers", type=int, default=2, help="local worker processes")
    args = parser.parse_args()
    files = focusrate.expand(args.paths)
    if args.scheduler:
        client = Client(args.scheduler)
    else:
        cluster = LocalCluster(n_workers=args.workers, threads_per_worker=1, processes=True)
        client = Client(cluster)
    with client:
        rows = rate_all(files, client) if files else []
    write_csv(rows, sys.stdout)
    return 0 if all(row.status == "ok" for row in rows) else 1


if __name__ == "__main__":
    sys.exit(main())
