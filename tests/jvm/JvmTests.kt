// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0
//
// The Kotlin bindings on the JVM, driven by tests/jvm/run_jvm_tests.py:
//   calls TABLE     print the outcome of every row of a call table (both components) as JSON
//   buffers TABLE   count the buffers made and released (the library is the counting shim)
//   load            call one function and print how loading went
package dev.quorvantile.tests

import dev.quorvantile.ffi.InternalException
import dev.quorvantile.ffi.QuorvantileException
import java.io.File
import java.lang.reflect.InvocationTargetException
import java.lang.reflect.Method
import java.lang.reflect.ParameterizedType
import java.lang.reflect.Type
import java.math.BigInteger
import kotlin.system.exitProcess

private val FACADES = listOf("dev.quorvantile.log.QuorvantileLog", "dev.quorvantile.witness.QuorvantileWitness")
    .map { Class.forName(it) }

private fun camel(name: String) = name.split("_").let { p -> p[0] + p.drop(1).joinToString("") { it.capitalize() } }
private fun snake(name: String) = name.replace(Regex("([A-Z])")) { "_" + it.value.toLowerCase() }

/** The generated function named `name` in the description, from whichever package has it. */
private fun function(name: String): Method =
    FACADES.flatMap { it.methods.toList() }.singleOrNull { it.name == camel(name) }
        ?: throw IllegalStateException("no generated function $name")

private fun fromPlain(type: Type, value: Any?): Any? {
    if (value == null) return null
    if (type == ByteArray::class.java) return hex(value as String)
    if (type is ParameterizedType && type.rawType == List::class.java) {
        return (value as List<*>).map { fromPlain(type.actualTypeArguments[0], it) }
    }
    val cls = type as? Class<*> ?: (type as java.lang.reflect.WildcardType).upperBounds[0] as Class<*>
    return when {
        cls == java.lang.Long.TYPE || cls == java.lang.Long::class.java -> (value as BigInteger).toLong()
        cls == java.lang.Integer.TYPE || cls == java.lang.Integer::class.java -> (value as BigInteger).toInt()
        cls == java.lang.Boolean.TYPE -> value as Boolean
        cls == String::class.java -> value as String
        cls.isEnum -> cls.enumConstants.single { (it as Any).javaClass.getMethod("getNumber").invoke(it) == (value as BigInteger).toInt() }
        else -> throw IllegalStateException("cannot build a ${cls.name} from a call table")
    }
}

private fun toPlain(value: Any?): Any? = when (value) {
    null, is String, is Boolean, is Int -> value
    is Long -> BigInteger(java.lang.Long.toUnsignedString(value))
    is ByteArray -> value.joinToString("") { String.format("%02x", it) }
    is List<*> -> value.map { toPlain(it) }
    is Enum<*> -> value.javaClass.getMethod("getNumber").invoke(value)
    else -> value.javaClass.declaredFields.filter { !java.lang.reflect.Modifier.isStatic(it.modifiers) }
        .associate { f -> f.isAccessible = true; snake(f.name) to toPlain(f.get(value)) }
}

/**
 * {"outcome": "ok", "value": ...}, or {"outcome": variant, "kind": kind, "message": ...} with the
 * error variant in snake case ("internal" for an unexpected failure), as the other layers report.
 */
fun outcome(row: Map<*, *>): Map<String, Any?> {
    val fn = function(row["function"] as String)
    val args = (row["args"] as List<*>).zip(fn.genericParameterTypes).map { (v, t) -> fromPlain(t, v) }
    return try {
        val value = fn.invoke(null, *args.toTypedArray())
        mapOf("outcome" to "ok", "value" to if (fn.returnType == Void.TYPE) null else toPlain(value))
    } catch (e: InvocationTargetException) {
        val cause = e.targetException as? QuorvantileException ?: throw e.targetException
        val variant = if (cause is InternalException) "internal" else snake(cause.javaClass.simpleName).removePrefix("_")
        mapOf("outcome" to variant, "kind" to cause.kind, "message" to cause.message)
    }
}

private fun isBuffer(type: Class<*>) = !type.isPrimitive

private class Shim {
    private val lib = com.sun.jna.NativeLibrary.getInstance(System.getProperty("dev.quorvantile.log.library"))
    fun reset(failAt: Long) = lib.getFunction("qv_shim_reset").invoke(arrayOf<Any>(failAt))
    fun counts() = Pair(lib.getFunction("qv_shim_created").invokeLong(arrayOf()),
                        lib.getFunction("qv_shim_freed").invokeLong(arrayOf()))
}

private const val BODY = "demo.example/log\n7\nnGvuSfr2UaQlJIENfycjlLu0GBE2Q3hM4i+oYtA7bYc=\n"

/** Buffers made and released per call, as the Python test counts them; then over a whole table. */
private fun buffers(table: List<Map<*, *>>): Int {
    val shim = Shim()
    val zero = ByteArray(32)
    data class Case(val name: String, val failAt: Long, val created: Long, val freed: Long, val call: () -> Unit)
    val cases = listOf(
        Case("result buffer", 0, 1, 1) { dev.quorvantile.log.checkpointParse(BODY) },
        Case("error buffer", 0, 1, 1) { dev.quorvantile.log.checkpointParse("") },
        Case("nothing to release", 0, 3, 0) { dev.quorvantile.log.verifyInclusion(0, 1, zero, listOf(), zero) },
        // The simulated failure's error buffer is released too, with the two arguments made before it.
        Case("later argument fails", 3, 3, 3) { dev.quorvantile.log.verifyInclusion(0, 1, zero, listOf(), zero) })
    var failures = 0
    for (c in cases) {
        shim.reset(c.failAt)
        try { c.call() } catch (e: QuorvantileException) { }
        if (shim.counts() != Pair(c.created, c.freed)) {
            println("FAIL ${c.name}: made and released ${shim.counts()}, expected (${c.created}, ${c.freed})")
            failures++
        }
    }
    // Over the table: one buffer made per buffer argument, one released per returned buffer (every
    // result buffer and every error buffer of these rows is non-empty).
    var made = 0L
    var returned = 0L
    shim.reset(0)
    for (row in table.filter { (it["function"] as String).let { n -> FACADES[0].methods.any { m -> m.name == camel(n) } } }) {
        val fn = function(row["function"] as String)
        val got = outcome(row)
        made += fn.parameterTypes.count { isBuffer(it) }
        if (got["outcome"] != "ok" || isBuffer(fn.returnType)) returned++
    }
    if (shim.counts() != Pair(made, returned)) {
        println("FAIL call table: made and released ${shim.counts()}, expected ($made, $returned)")
        failures++
    }
    println("buffers: ${cases.size} cases and the table's log rows (${shim.counts().first} made, ${shim.counts().second} released)")
    return failures
}

fun main(args: Array<String>) {
    when (args.getOrNull(0)) {
        "calls" -> println(Json.write((Json.parse(File(args[1]).readText()) as Map<*, *>)["calls"]
            .let { rows -> (rows as List<*>).map { outcome(it as Map<*, *>) } }))
        "buffers" -> {
            val table = (Json.parse(File(args[1]).readText()) as Map<*, *>)["calls"] as List<*>
            exitProcess(if (buffers(table.map { it as Map<*, *> }) == 0) 0 else 1)
        }
        "load" -> try {
            dev.quorvantile.log.checkpointParse(BODY)
            println("loaded ${dev.quorvantile.log.loadedLibrary()}")
        } catch (e: QuorvantileException) {
            println("${e.javaClass.simpleName}: ${e.message}")
        }
        else -> {
            System.err.println("usage: JvmTests calls TABLE | buffers TABLE | load")
            exitProcess(2)
        }
    }
}

private fun hex(text: String) = ByteArray(text.length / 2) { text.substring(2 * it, 2 * it + 2).toInt(16).toByte() }

/** Just enough JSON for the call tables: objects, arrays, strings, integers, booleans, null. */
object Json {
    fun parse(text: String): Any? = Parser(text).run { value().also { space(); check(pos == text.length) } }

    fun write(v: Any?): String = when (v) {
        null -> "null"
        is String -> "\"" + v.map { c -> when {
            c == '"' -> "\\\""
            c == '\\' -> "\\\\"
            c < ' ' -> String.format("\\u%04x", c.toInt())
            else -> c.toString()
        } }.joinToString("") + "\""
        is Map<*, *> -> v.entries.joinToString(", ", "{", "}") { write(it.key) + ": " + write(it.value) }
        is List<*> -> v.joinToString(", ", "[", "]") { write(it) }
        else -> v.toString()
    }

    private class Parser(val s: String) {
        var pos = 0
        fun space() { while (pos < s.length && s[pos].isWhitespace()) pos++ }
        fun value(): Any? {
            space()
            return when (s[pos]) {
                '{' -> obj()
                '[' -> arr()
                '"' -> string()
                't' -> { pos += 4; true }
                'f' -> { pos += 5; false }
                'n' -> { pos += 4; null }
                else -> {
                    val start = pos
                    while (pos < s.length && (s[pos] == '-' || s[pos].isDigit())) pos++
                    BigInteger(s.substring(start, pos))
                }
            }
        }
        fun obj(): Map<String, Any?> {
            val m = LinkedHashMap<String, Any?>()
            pos++
            space()
            var more = s[pos] != '}'
            while (more) {
                space()
                val k = string()
                space()
                check(s[pos++] == ':')
                m[k] = value()
                space()
                more = s[pos++] == ','
            }
            if (m.isEmpty()) pos++
            return m
        }
        fun arr(): List<Any?> {
            val l = ArrayList<Any?>()
            pos++
            space()
            var more = s[pos] != ']'
            while (more) {
                l.add(value())
                space()
                more = s[pos++] == ','
            }
            if (l.isEmpty()) pos++
            return l
        }
        fun string(): String {
            check(s[pos++] == '"')
            val out = StringBuilder()
            while (s[pos] != '"') {
                val c = s[pos++]
                if (c != '\\') { out.append(c); continue }
                when (val e = s[pos++]) {
                    'n' -> out.append('\n'); 't' -> out.append('\t'); 'r' -> out.append('\r')
                    'b' -> out.append('\b'); 'f' -> out.append('\u000c')
                    'u' -> { out.append(s.substring(pos, pos + 4).toInt(16).toChar()); pos += 4 }
                    else -> out.append(e)
                }
            }
            pos++
            return out.toString()
        }
    }
}
