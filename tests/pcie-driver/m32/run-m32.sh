#!/bin/sh
# Runs the 32-bit tests where the kernel can execute 32-bit x86 programs.
# Building them already proved the layout checks; where the kernel refuses
# the probe ("Exec format error") the test is reported skipped, not passed.
dir=$1
out=$("$dir/m32_probe" 2>/dev/null)
if [ "$out" != "m32-probe-ok" ]; then
    echo "SKIPPED: this kernel cannot execute 32-bit x86 programs; layout checks compiled, run skipped"
    exit 77
fi
exec "$dir/pcie_driver_m32_tests"
