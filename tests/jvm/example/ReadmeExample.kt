// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0
//
// The README's Kotlin example (keep the two the same): a real checkpoint cosigned by four
// witnesses, verified under a three-of-four policy, then refused under one it does not meet.
package example

import dev.quorvantile.witness.WitnessError
import dev.quorvantile.witness.checkpointVerifyCosigned
import java.io.File

fun main(args: Array<String>) {
    val dir = File(args[0])  // demo/data/witness
    val note = File(dir, "arche2025h1.checkpoint").readText()
    val cosigned = checkpointVerifyCosigned(note, File(dir, "arche2025h1_3of4.policy").readText())
    val head = cosigned.checkpoint
    println("${head.origin} size ${head.size}: counted ${cosigned.countedWitnesses}")
    try {
        checkpointVerifyCosigned(note, File(dir, "arche2025h1_unmet.policy").readText())
    } catch (e: WitnessError.Verification) {
        println("refused (${e.kind}): ${e.message}")
    }
}
