// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0
//
// JVM call overhead: verify_inclusion on a 2^20-leaf tree through the Kotlin binding against the
// same call made from C through the C ABI (bench/jvm/inclusion_c_loop.c, argument 1), in
// interleaved rounds in one process; prints each side's median and spread per call and the ratio,
// by wall time and by the calling thread's CPU time.
package dev.quorvantile.bench

import com.sun.jna.Memory
import com.sun.jna.NativeLibrary
import dev.quorvantile.log.verifyInclusion
import java.security.MessageDigest

private fun sha256(vararg parts: ByteArray): ByteArray =
    MessageDigest.getInstance("SHA-256").apply { parts.forEach { update(it) } }.digest()

private fun encoded(parts: List<ByteArray>, withCount: Boolean): ByteArray {
    val out = java.io.ByteArrayOutputStream()
    fun count(n: Int) = out.write(byteArrayOf((n ushr 24).toByte(), (n ushr 16).toByte(), (n ushr 8).toByte(), n.toByte()))
    if (withCount) count(parts.size)
    parts.forEach { count(it.size); out.write(it) }
    return out.toByteArray()
}

private fun native(bytes: ByteArray) = Memory(bytes.size.toLong()).apply { write(0, bytes, 0, bytes.size) }

private fun median(xs: List<Double>) = xs.sorted()[xs.size / 2]

fun main(args: Array<String>) {
    val rounds = args.getOrNull(1)?.toInt() ?: 11
    val perRound = args.getOrNull(2)?.toInt() ?: 5000
    // A valid proof for leaf 0x5a5a5 of a perfect 2^20-leaf tree: 20 siblings folded into the root.
    val size = 1L shl 20
    val index = 0x5a5a5L
    val leaf = sha256(byteArrayOf(0), "leaf".toByteArray())
    val proof = (0 until 20).map { sha256(byteArrayOf(1), byteArrayOf(it.toByte())) }
    var node = leaf
    for ((level, sibling) in proof.withIndex()) {
        node = if ((index shr level) and 1L == 0L) sha256(byteArrayOf(1), node, sibling) else sha256(byteArrayOf(1), sibling, node)
    }
    val root = node
    verifyInclusion(index, size, leaf, proof, root)

    val cLoop = NativeLibrary.getInstance(args[0]).getFunction("qv_bench_inclusion_c")
    val leafArg = encoded(listOf(leaf), false)
    val proofArg = encoded(proof, true)
    val rootArg = encoded(listOf(root), false)
    val cArgs = arrayOf<Any>(index, size, native(leafArg), leafArg.size, native(proofArg), proofArg.size,
                             native(rootArg), rootArg.size, perRound, 0)
    // Wall time, and the calling thread's CPU time (the machine may be shared: CPU time is what a
    // call costs its thread, wall time adds the collector's and everyone else's share).
    val threads = java.lang.management.ManagementFactory.getThreadMXBean()
    val clocks = listOf("wall" to { System.nanoTime() }, "thread CPU" to { threads.currentThreadCpuTime })
    for ((clockIndex, clock) in clocks.withIndex()) {
        val kotlinTimes = ArrayList<Double>()
        val cTimes = ArrayList<Double>()
        cArgs[cArgs.size - 1] = clockIndex
        for (round in -2 until rounds) {  // two warm-up rounds for the JIT
            val start = clock.second()
            repeat(perRound) { verifyInclusion(index, size, leaf, proof, root) }
            val kotlinNs = (clock.second() - start).toDouble() / perRound
            val cNs = cLoop.invokeLong(cArgs).also { check(it > 0) { "the C loop failed" } }.toDouble() / perRound
            if (round >= 0) {
                kotlinTimes.add(kotlinNs)
                cTimes.add(cNs)
            }
        }
        val ratios = kotlinTimes.zip(cTimes).map { (k, c) -> k / c }
        fun line(name: String, xs: List<Double>) = println(String.format(
            "%-34s median %8.0f ns/call  spread %8.0f .. %8.0f", name, median(xs), xs.sorted().first(), xs.sorted().last()))
        line("verify_inclusion Kotlin (${clock.first})", kotlinTimes)
        line("verify_inclusion C ABI (${clock.first})", cTimes)
        println(String.format("Kotlin / C (%s): median %.2fx  spread %.2f .. %.2f  (%d interleaved rounds of %d calls)",
                              clock.first, median(ratios), ratios.sorted().first(), ratios.sorted().last(), rounds, perRound))
    }
}
