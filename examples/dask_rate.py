#!/usr/bin/env python3
"""Rates many images on a Dask cluster and prints focusrank's CSV rows.

    dask_rate.py [--scheduler ADDRESS | --workers N] PATH...

Each worker process calls focusrate.rate on its share of the paths; the rows
come back in input order, figures written as focusrank writes them, so the
output equals `focusrank --jobs 1 PATH...` for the same files. Without
--scheduler a LocalCluster of N worker processes runs on this machine; with
it, every worker needs the focusrate module and the files under the same path.
"""
import argparse
import csv
import math
import struct
import sys

import dask.bag
from dask.distributed import Client, LocalCluster

import focusrate

HEADER = ["path", "laplace", "variance_lap", "tenengrad", "gray_level", "status"]


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
    writer.writerow(HEADER)
    for row in rows:
        writer.writerow([row.path] + [figure_text(v) for v in row[1:5]] + [row.status])


def rate_all(paths, client):
    """Rates every path on the client's cluster; the rows in input order."""
    parts = max(1, min(len(paths), 4 * len(client.nthreads())))
    return dask.bag.from_sequence(paths, npartitions=parts).map(focusrate.rate).compute()


def main():
    """Parses the command line, starts or joins the cluster, prints the rows."""
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("paths", nargs="+")
    parser.add_argument("--scheduler", help="address of a running Dask scheduler")
    parser.add_argument("--workers", type=int, default=2, help="local worker processes")
    args = parser.parse_args()
    if args.scheduler:
        client = Client(args.scheduler)
    else:
        cluster = LocalCluster(n_workers=args.workers, threads_per_worker=1, processes=True)
        client = Client(cluster)
    with client:
        write_csv(rate_all(args.paths, client), sys.stdout)


if __name__ == "__main__":
    main()
