"""A presenter's drags as one figure, for the X11 and the Wayland tables:
the median over its drags of the CPU time per motion event, and the
latencies of every drag together for the percentiles."""
import statistics


def drag_summary(figures):
    """None when the presenter made no drag, or one did not arrive."""
    drags = figures.get("drags") or ([figures["drag"]] if "drag" in figures else [])
    if not drags or not all(drag["moves"] > 0 and drag["arrived"] and drag["latencies_ms"] for drag in drags):
        return None
    return {
        "drags": len(drags),
        "cpu_us_per_motion": statistics.median(drag["cpu_ms"] * 1000 / drag["moves"] for drag in drags),
        "handled": sum(drag["handled"] for drag in drags),
        "moves": sum(drag["moves"] for drag in drags),
        "latencies_ms": [latency for drag in drags for latency in drag["latencies_ms"]],
    }
